#include "capture/hr_dictionary.h"

#include <cstring>

#include "oci_stub.h"

namespace capturetest {

// A view's answer: its column names (`longs` of them LONG, the last ones) and rows.
void Script(const char* sqlPart, const Row& names, const std::vector<Row>& rows, int longs) {
  std::vector<int> types(names.size(), 1);
  for (int i = 0; i < longs; ++i) types[types.size() - 1 - i] = 8;
  stub_add_result(sqlPart, int(names.size()), names.data(), types.data());
  for (const Row& r : rows) stub_add_row(r.data());
}

// HR as Oracle's ALL_ views show it to HR: numbers as text, NULLs where Oracle has them, a
// default and a view text as LONG with the blanks and line feeds Oracle keeps.
void ScriptHr(const char* skip) {
  const auto add = [&](const char* part, const Row& names, const std::vector<Row>& rows,
                       int longs = 0) {
    if (!skip || std::strcmp(skip, part) != 0) Script(part, names, rows, longs);
  };
  add("FROM user_users", {"USERNAME"}, {{"HR"}});
  add("FROM all_users", {"USERNAME"}, {{"HR"}});
  add("FROM all_tables", {"OWNER", "TABLE_NAME"}, {{"HR", "DEPARTMENTS"}, {"HR", "EMPLOYEES"}});
  add("FROM all_tab_comments", {"OWNER", "TABLE_NAME", "TABLE_TYPE", "COMMENTS"},
      {{"HR", "DEPARTMENTS", "TABLE", "Departments; one row each."},
       {"HR", "EMPLOYEES", "TABLE", nullptr},
       {"HR", "EMP_NAMES", "VIEW", nullptr}});
  add("FROM all_tab_columns",
      {"OWNER", "TABLE_NAME", "COLUMN_NAME", "COLUMN_ID", "DATA_TYPE", "DATA_LENGTH",
       "DATA_PRECISION", "NULLABLE", "DATA_SCALE", "CHAR_LENGTH", "CHAR_USED", "DATA_DEFAULT"},
      {{"HR", "DEPARTMENTS", "DEPARTMENT_ID", "1", "NUMBER", "22", "4", "N", "0", "0", nullptr,
        nullptr},
       {"HR", "DEPARTMENTS", "DEPARTMENT_NAME", "2", "VARCHAR2", "120", nullptr, "N", nullptr,
        "30", "C", nullptr},
       {"HR", "EMPLOYEES", "EMPLOYEE_ID", "1", "NUMBER", "22", "6", "N", "0", "0", nullptr,
        nullptr},
       {"HR", "EMPLOYEES", "HIRE_DATE", "2", "DATE", "7", nullptr, "N", nullptr, "0", nullptr,
        "SYSDATE "},
       {"HR", "EMPLOYEES", "DEPARTMENT_ID", "3", "NUMBER", "22", "4", "Y", "0", "0", nullptr,
        nullptr}},
      1);
  add("FROM all_col_comments", {"OWNER", "TABLE_NAME", "COLUMN_NAME", "COMMENTS"},
      {{"HR", "DEPARTMENTS", "DEPARTMENT_ID", "Primary key."},
       {"HR", "DEPARTMENTS", "DEPARTMENT_NAME", nullptr},
       {"HR", "EMPLOYEES", "DEPARTMENT_ID", nullptr},
       {"HR", "EMPLOYEES", "EMPLOYEE_ID", nullptr},
       {"HR", "EMPLOYEES", "HIRE_DATE", "Day the employee started."}});
  add("FROM all_constraints",
      {"OWNER", "CONSTRAINT_NAME", "CONSTRAINT_TYPE", "TABLE_NAME", "R_OWNER",
       "R_CONSTRAINT_NAME", "SEARCH_CONDITION"},
      {{"HR", "DEPT_ID_PK", "P", "DEPARTMENTS", nullptr, nullptr, nullptr},
       {"HR", "EMP_DEPT_FK", "R", "EMPLOYEES", "HR", "DEPT_ID_PK", nullptr},
       {"HR", "SYS_C0013", "C", "EMPLOYEES", nullptr, nullptr, "\"HIRE_DATE\" IS NOT NULL"}},
      1);
  add("FROM all_cons_columns", {"OWNER", "CONSTRAINT_NAME", "TABLE_NAME", "COLUMN_NAME", "POSITION"},
      {{"HR", "DEPT_ID_PK", "DEPARTMENTS", "DEPARTMENT_ID", "1"},
       {"HR", "EMP_DEPT_FK", "EMPLOYEES", "DEPARTMENT_ID", "1"},
       {"HR", "SYS_C0013", "EMPLOYEES", "HIRE_DATE", nullptr}});
  add("FROM all_indexes", {"OWNER", "INDEX_NAME", "TABLE_OWNER", "TABLE_NAME", "UNIQUENESS"},
      {{"HR", "DEPT_ID_PK", "HR", "DEPARTMENTS", "UNIQUE"},
       {"HR", "EMP_HIRED_IX", "HR", "EMPLOYEES", "NONUNIQUE"}});
  // A descending column is a hidden SYS_NC column whose expression is the real column.
  add("FROM all_ind_columns",
      {"INDEX_OWNER", "INDEX_NAME", "TABLE_OWNER", "TABLE_NAME", "COLUMN_NAME",
       "COLUMN_POSITION", "DESCEND"},
      {{"HR", "DEPT_ID_PK", "HR", "DEPARTMENTS", "DEPARTMENT_ID", "1", "ASC"},
       {"HR", "EMP_HIRED_IX", "HR", "EMPLOYEES", "SYS_NC00004$", "1", "DESC"}});
  add("FROM all_ind_expressions",
      {"INDEX_OWNER", "INDEX_NAME", "TABLE_OWNER", "TABLE_NAME", "COLUMN_POSITION",
       "COLUMN_EXPRESSION"},
      {{"HR", "EMP_HIRED_IX", "HR", "EMPLOYEES", "1", "\"HIRE_DATE\""}}, 1);
  add("FROM all_views", {"OWNER", "VIEW_NAME", "TEXT"},
      {{"HR", "EMP_NAMES", "SELECT e.employee_id, d.department_name\n"
                           "FROM employees e JOIN departments d USING (department_id)"}},
      1);
  add("FROM all_source", {"OWNER", "NAME", "TYPE", "LINE", "TEXT"},
      {{"HR", "HEADCOUNT", "FUNCTION", "1", "FUNCTION headcount (p_dept NUMBER)\n"},
       {"HR", "HEADCOUNT", "FUNCTION", "2", "RETURN NUMBER IS BEGIN RETURN 0; END;"}});
  add("FROM all_sequences", {"SEQUENCE_OWNER", "SEQUENCE_NAME"}, {{"HR", "EMPLOYEES_SEQ"}});
  add("FROM all_tab_privs", {"OWNER", "TABLE_NAME", "GRANTOR", "GRANTEE", "PRIVILEGE"},
      {{"HR", "EMPLOYEES", "HR", "PAYROLL", "SELECT"}});
  add("FROM all_synonyms", {"OWNER", "SYNONYM_NAME", "TABLE_OWNER", "TABLE_NAME"},
      {{"PUBLIC", "EMP", "HR", "EMPLOYEES"}});
  add("FROM all_arguments",
      {"OWNER", "PACKAGE_NAME", "OBJECT_NAME", "OVERLOAD", "ARGUMENT_NAME", "POSITION",
       "SEQUENCE", "DATA_LEVEL", "DATA_TYPE", "IN_OUT", "DEFAULTED", "DEFAULT_VALUE"},
      {{"HR", nullptr, "HEADCOUNT", nullptr, nullptr, "0", "1", "0", "NUMBER", "OUT", "N", nullptr},
       {"HR", nullptr, "HEADCOUNT", nullptr, "P_DEPT", "1", "2", "0", "NUMBER", "IN", "Y",
        nullptr}},
      1);
  add("FROM all_procedures",
      {"OWNER", "OBJECT_NAME", "PROCEDURE_NAME", "OBJECT_TYPE", "SUBPROGRAM_ID", "OVERLOAD"},
      {{"HR", "HEADCOUNT", nullptr, "FUNCTION", "1", nullptr}});
  add("FROM all_dependencies",
      {"OWNER", "NAME", "TYPE", "REFERENCED_OWNER", "REFERENCED_NAME", "REFERENCED_TYPE",
       "DEPENDENCY_TYPE"},
      {{"HR", "HEADCOUNT", "FUNCTION", "HR", "EMPLOYEES", "TABLE", "HARD"},
       {"HR", "HEADCOUNT", "FUNCTION", "SYS", "STANDARD", "PACKAGE", "HARD"},
       {"PAYROLL", "PAY_RUN", "PACKAGE BODY", "HR", "HEADCOUNT", "FUNCTION", "HARD"}});
  add("FROM all_triggers",
      {"OWNER", "TRIGGER_NAME", "TRIGGER_TYPE", "TRIGGERING_EVENT", "TABLE_OWNER",
       "BASE_OBJECT_TYPE", "TABLE_NAME", "COLUMN_NAME", "REFERENCING_NAMES", "WHEN_CLAUSE",
       "STATUS", "DESCRIPTION", "ACTION_TYPE", "TRIGGER_BODY"},
      {{"HR", "EMP_STAMP", "BEFORE EACH ROW", "INSERT OR UPDATE", "HR", "TABLE", "EMPLOYEES",
        nullptr, "REFERENCING NEW AS NEW OLD AS OLD", "new.hire_date IS NULL", "ENABLED",
        "emp_stamp\n  BEFORE INSERT OR UPDATE ON employees\n  FOR EACH ROW\n", "PL/SQL     ",
        "BEGIN\n  :new.hire_date := SYSDATE;\nEND;"}},
      1);
  add("FROM all_objects",
      {"OWNER", "OBJECT_NAME", "OBJECT_TYPE", "STATUS", "CREATED", "LAST_DDL_TIME"},
      {{"HR", "EMPLOYEES", "TABLE", "VALID", "2024-03-14 09:12:40", "2024-03-14 09:12:40"},
       {"HR", "HEADCOUNT", "FUNCTION", "INVALID", "2024-03-14 09:12:41", "2024-06-03 11:45:02"}});
}

}  // namespace capturetest
