// The sample project data/sample/demo.vlm: it is exactly what the project writer makes of
// the contents below, and every entry names an object of the bundled sample dictionary.
//
// To change the sample project, change SampleContents() and run this test once with
// VELLUMAR_WRITE_SAMPLE=1 in the environment; it then rewrites data/sample/demo.vlm.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "db/database.h"
#include "project/project.h"
#include "project/project_file.h"
#include "support/test_env.h"

namespace {

ObjectEntry Hr(const QString& name, const QString& description = {}) {
  return {"DEMO", name, "HR", "hr", description};
}
ObjectEntry Payroll(const QString& name, const QString& description = {}) {
  return {"DEMO", name, "PAYROLL", "payroll", description};
}
ObjectEntry Sales(const QString& name, const QString& description = {}) {
  return {"SALES", name, "SALES", "sales", description};
}

ProjectContents SampleContents() {
  ProjectContents c;
  c.info.Name = "Example Corp HR, payroll & sales";
  c.info.Version = "1.0";
  c.info.General =
      "The databases of Example Corp: DEMO with the human resources schema HR and the "
      "payroll schema PAYROLL, and SALES with the order entry schema SALES.\r\n"
      "Salaries and bank accounts are confidential: keep this document inside the company.";
  auto& tables = c.entries[static_cast<int>(ObjectKind::Tables)];
  tables = {Hr("EMPLOYEES", "Employees, one row per person employed now or earlier."),
            Hr("DEPARTMENTS", "Departments with their manager and location."),
            Hr("JOBS", "Job titles with the salary range of each."),
            Hr("JOB_HISTORY_NOTES", ""),
            Payroll("PAY_GRADES", "Salary grades <A> to <F>."),
            Payroll("PAYSLIPS", "One payslip per employee and month.\r\n"
                                "Gross pay is the sum of the payslip's lines."),
            Sales("CUSTOMERS", "Customers who have placed at least one order."),
            Sales("ORDERS", "Orders, one row per order."),
            Sales("ORDER_ITEMS", "Lines of an order.")};
  auto& views = c.entries[static_cast<int>(ObjectKind::Views)];
  views = {Hr("EMP_DETAILS_VIEW", "Employees with department, city and job, for reports."),
           Hr("DEPARTMENT_HEADCOUNT", ""),
           Payroll("CURRENT_PAYSLIPS", "Payslips of the current and the previous month."),
           Sales("OPEN_ORDERS", "Orders not yet shipped.")};
  auto& units = c.entries[static_cast<int>(ObjectKind::ProceduresAndFunctions)];
  units = {Hr("GET_EMPLOYEE_NAME (FUNCTION)"), Hr("RAISE_SALARY (PROCEDURE)"),
           Payroll("NET_PAY (FUNCTION)"), Sales("CLOSE_ORDER (PROCEDURE)")};
  auto& packages = c.entries[static_cast<int>(ObjectKind::Packages)];
  packages = {Hr("EMP_MGMT", "Hiring, transfers and departures of employees. Every change is "
                             "written to the job history."),
              Hr("HR_UTIL", "Small helpers for reports on employees and departments."),
              Payroll("SALARY_CALC", "Monthly payroll run: payslips and their lines.")};
  auto& sequences = c.entries[static_cast<int>(ObjectKind::Sequences)];
  sequences = {Hr("EMPLOYEES_SEQ", "EMPLOYEES.EMPLOYEE_ID"),
               Hr("DEPARTMENTS_SEQ", "DEPARTMENTS.DEPARTMENT_ID, in steps of 10"),
               Payroll("PAYSLIPS_SEQ", "PAYSLIPS.PAYSLIP_ID"),
               Sales("ORDERS_SEQ", "ORDERS.ORDER_ID")};
  c.sequencesDescription =
      "Every key that a program generates comes from one of these sequences.\r\n"
      "Never reset a sequence: the numbers are kept in archived payslips and orders.";
  auto& roles = c.entries[static_cast<int>(ObjectKind::Roles)];
  roles = {Hr("PAYROLL", "Reads employees and departments for the monthly run."),
           Hr("REPORTING", "Reads everything that the monthly reports show."),
           Hr("HR_CLERK", "Writes notes on the job history."),
           Sales("WAREHOUSE", "Updates the status of orders.")};
  c.rolesDescription = "Grants to other users and roles. Only HR grants rights on its tables "
                       "& views; PAYROLL and SALES grant to REPORTING alone.";
  return c;
}

QString SamplePath() { return testenv::SourceDir() + "/data/sample/demo.vlm"; }

TEST(SampleProjectTest, FileIsWhatTheWriterMakesOfTheContents) {
  Project project;
  project.ReplaceContents(SampleContents());
  QTemporaryDir dir;
  QString error;
  ASSERT_TRUE(WriteProject(project, dir.filePath("demo.vlm"), &error)) << error.toStdString();
  const QByteArray written = testenv::ReadBytes(dir.filePath("demo.vlm"));
  if (qEnvironmentVariableIsSet("VELLUMAR_WRITE_SAMPLE")) testenv::WriteBytes(SamplePath(), written);
  EXPECT_EQ(testenv::ReadBytes(SamplePath()), written);

  Project read;
  ASSERT_TRUE(ReadProject(read, SamplePath(), &error)) << error.toStdString();
  const ProjectContents expected = SampleContents();
  EXPECT_EQ(read.Info().Name, expected.info.Name);
  EXPECT_EQ(read.Info().General, expected.info.General);
  for (ObjectKind kind : kAllObjectKinds) {
    EXPECT_EQ(read.Entries(kind), expected.entries[static_cast<int>(kind)]);
  }
  EXPECT_EQ(read.SectionDescription(ObjectKind::Sequences), expected.sequencesDescription);
  EXPECT_EQ(read.SectionDescription(ObjectKind::Roles), expected.rolesDescription);
}

// The first value of `column` that the query gives for `bind` (empty binds: none).
QStringList Values(Database& db, QueryId id, const QString& column, const QStringList& binds) {
  Query& q = db.query(id);
  q.Close();
  for (int i = 0; i < binds.size(); ++i) q.BindText(i + 1, binds[i]);
  q.Open();
  QStringList values;
  for (; !q.Eof(); q.Next()) values.append(q.Field(column));
  q.Close();
  return values;
}

TEST(SampleProjectTest, EveryEntryIsInTheSampleDictionary) {
  Database db;
  db.SetSnapshotDirectories({SampleDictionaryDirectory()});
  const ProjectContents c = SampleContents();
  for (ObjectKind kind : kAllObjectKinds) {
    const auto& entries = c.entries[static_cast<int>(kind)];
    EXPECT_FALSE(entries.isEmpty());
    for (const ObjectEntry& e : entries) {
      SCOPED_TRACE(e.ObjectName.toStdString());
      ConnectDatabase(db, e.ServerName, e.UserName, e.Password);
      const QString name = e.ObjectName;
      switch (kind) {
        case ObjectKind::Tables:
          EXPECT_FALSE(Values(db, QueryId::OCITableFields, "kentta", {name}).isEmpty());
          break;
        case ObjectKind::Views:
          EXPECT_FALSE(Values(db, QueryId::OCIViews, "text", {name}).isEmpty());
          break;
        case ObjectKind::ProceduresAndFunctions:
          EXPECT_TRUE(Values(db, QueryId::OCIProcedures, "proc", {}).contains(name));
          break;
        case ObjectKind::Packages:
          EXPECT_TRUE(Values(db, QueryId::OCIPackages, "name", {}).contains(name));
          break;
        case ObjectKind::Sequences:
          EXPECT_TRUE(Values(db, QueryId::OCISequences, "sequence_name", {}).contains(name));
          break;
        case ObjectKind::Roles:
          EXPECT_TRUE(Values(db, QueryId::OCIRoles, "grantee", {}).contains(name));
          break;
      }
    }
  }
}

}  // namespace
