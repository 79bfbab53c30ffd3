// The dictionary queries. Their texts are fixed: both backends run them unchanged, so every
// blank inside them is kept as it is.
//
// Names are padded with blanks to the widths the documents line up on, never cut (Oracle
// names run to 128 characters): the name followed by rpad(' ', width - length(name)), which
// is NULL, and so adds nothing, once the name fills the width. OCITableFields hands out a
// column's type in its dictionary pieces; ColumnTypeText joins them (db/column_type.h), since
// the same text serves every document format and a decode for every type form would be
// nested several deep here.
//
// The modern documents' reads order their rows themselves, on columns that are never NULL
// where the order matters, so both backends deliver them alike; LONG columns (condition,
// default) are only selected, never compared. Names are ordered by their bytes
// (NLSSORT(x, 'NLS_SORT=BINARY')): Oracle otherwise sorts by the session's NLS_SORT, which
// follows the client's NLS_LANG, and a GERMAN or FINNISH client would document the same
// schema in another order than a snapshot does.

#include "db/database.h"

namespace {

const QueryText kQueries[kQueryCount] = {
    {"OCITables",
     "select table_name from user_tables\n"
     "order by table_name",
     {}},
    {"OCIViewNames",
     "select view_name from user_views",
     {}},
    {"OCIProcedures",
     "select distinct name || ' (' || type || ')' proc from user_source\n"
     "where type = 'FUNCTION' or type = 'PROCEDURE'",
     {}},
    {"OCIPackages",
     "select distinct name from user_source\n"
     "where type = 'PACKAGE'",
     {}},
    {"OCISequences",
     "select sequence_name from user_sequences",
     {}},
    {"OCIRoles",
     "select grantee\n"
     "from user_tab_privs\n"
     "group by grantee",
     {}},
    {"OCIComments",
     "select comments from all_tab_comments\n"
     "where table_name = :P_TABLE_NAME",
     {":P_TABLE_NAME"}},
    {"OCISynonyms",
     "select synonym_name from all_synonyms \n"
     "where table_name = :TAULUN_NIMI",
     {":TAULUN_NIMI"}},
    {"OCITableFields",
     "select s.column_name || rpad(' ',30 - length(s.column_name)) kentta,\n"
     "s.data_type, s.data_length, s.data_precision, s.data_scale, s.char_length, s.char_used,\n"
     "rpad(decode(s.nullable,'Y','Null','Not null'),10) nulli, c.comments kuvaus\n"
     "from user_col_comments c, user_tab_columns s\n"
     "where c.table_name = s.table_name and\n"
     "c.column_name = s.column_name and\n"
     "s.table_name = :TAULUN_NIMI",
     {":TAULUN_NIMI"}},
    {"OCIPrimaryKeys",
     "select a.constraint_name || rpad(' ',20 - length(a.constraint_name)) nimi, b.column_name sarake\n"
     "from user_constraints a, user_cons_columns b\n"
     "where a.constraint_name = b.constraint_name and\n"
     "      a.constraint_type = 'P' and\n"
     "      a.table_name = :TAULUN_NIMI",
     {":TAULUN_NIMI"}},
    {"OCIForeignKeys",
     "select a.constraint_name || rpad(' ',20 - length(a.constraint_name)) nimi,\n"
     "b.column_name || rpad(' ',30 - length(b.column_name)) lahtosarake, \n"
     "c.table_name || '.' || c.column_name kohdesarake\n"
     "from user_constraints a, user_cons_columns b, user_cons_columns c\n"
     "where c.position = b.position and\n"
     "      a.constraint_name = b.constraint_name and\n"
     "      a.r_constraint_name = c.constraint_name and\n"
     "      a.constraint_type = 'R' and\n"
     "      a.table_name = :TAULUN_NIMI",
     {":TAULUN_NIMI"}},
    {"OCIIndexes",
     "select a.index_name || rpad(' ',20 - length(a.index_name)) nimi,  b.column_name sarake\n"
     "from user_indexes a, user_ind_columns b\n"
     "where a.index_name = b.index_name and\n"
     "           b.table_name = :TAULUN_NIMI",
     {":TAULUN_NIMI"}},
    {"OCIViews",
     "select text from user_views\n"
     "where view_name = :NAKYMAN_NIMI",
     {":NAKYMAN_NIMI"}},
    {"OCIProctext",
     "select text from user_source\n"
     "where name = :P_NIMI and\n"
     "type = :P_TYYPPI\n",
     {":P_NIMI", ":P_TYYPPI"}},
    {"OCIPackageText",
     "select  text from user_source\n"
     "where type = 'PACKAGE'\n"
     "and name = :P_NIMI",
     {":P_NIMI"}},
    {"OCIObjectComment",
     "select table_type, comments from user_tab_comments\n"
     "where table_name = :P_NAME",
     {":P_NAME"}},
    {"OCIColumns",
     "select s.column_name, s.data_type, s.data_length, s.data_precision, s.data_scale,\n"
     "s.char_length, s.char_used, s.nullable, s.data_default, c.comments\n"
     "from user_tab_columns s, user_col_comments c\n"
     "where c.table_name = s.table_name and\n"
     "c.column_name = s.column_name and\n"
     "s.table_name = :P_NAME\n"
     "order by s.column_id",
     {":P_NAME"}},
    {"OCIConstraints",
     "select a.constraint_name, a.constraint_type, a.search_condition, b.column_name\n"
     "from user_constraints a, user_cons_columns b\n"
     "where b.constraint_name = a.constraint_name and\n"
     "a.table_name = :P_NAME\n"
     "order by NLSSORT(a.constraint_name, 'NLS_SORT=BINARY'), b.position",
     {":P_NAME"}},
    {"OCIReferences",
     "select a.constraint_name, c.owner, c.table_name, c.column_name\n"
     "from user_constraints a, all_cons_columns c\n"
     "where c.owner = a.r_owner and\n"
     "c.constraint_name = a.r_constraint_name and\n"
     "a.constraint_type = 'R' and\n"
     "a.table_name = :P_NAME\n"
     "order by NLSSORT(a.constraint_name, 'NLS_SORT=BINARY'), c.position",
     {":P_NAME"}},
    {"OCIIndexColumns",
     "select a.index_name, a.uniqueness, b.column_name, b.descend\n"
     "from user_indexes a, user_ind_columns b\n"
     "where a.index_name = b.index_name and\n"
     "b.table_name = :P_NAME\n"
     "order by NLSSORT(a.index_name, 'NLS_SORT=BINARY'), b.column_position",
     {":P_NAME"}},
    {"OCIUnitArguments",
     "select object_name, overload, argument_name, position, in_out, data_type,\n"
     "default_value, defaulted\n"
     "from user_arguments\n"
     "where package_name is null and\n"
     "object_name = :P_NAME and\n"
     "data_level = 0\n"
     "order by sequence",
     {":P_NAME"}},
    {"OCIPackageArguments",
     "select object_name, overload, argument_name, position, in_out, data_type,\n"
     "default_value, defaulted\n"
     "from user_arguments\n"
     "where package_name = :P_NAME and\n"
     "data_level = 0\n"
     "order by NLSSORT(object_name, 'NLS_SORT=BINARY'), overload, sequence",
     {":P_NAME"}},
    {"OCITableSynonyms",
     "select owner, synonym_name from all_synonyms\n"
     "where table_owner = :P_OWNER and\n"
     "table_name = :P_NAME\n"
     "order by NLSSORT(owner, 'NLS_SORT=BINARY'), NLSSORT(synonym_name, 'NLS_SORT=BINARY')",
     {":P_OWNER", ":P_NAME"}},
    {"OCIPackageMembers",
     "select procedure_name, overload from user_procedures\n"
     "where object_name = :P_NAME and\n"
     "object_type = 'PACKAGE' and\n"
     "procedure_name is not null\n"
     "order by subprogram_id",
     {":P_NAME"}},
    {"OCIIndexExpressions",
     "select b.column_name, b.descend, e.column_expression\n"
     "from user_ind_columns b, user_ind_expressions e\n"
     "where e.index_name = b.index_name and\n"
     "e.column_position = b.column_position and\n"
     "b.table_name = :P_NAME",
     {":P_NAME"}},
    {"OCIDependencies",
     "select owner, name, type, referenced_owner, referenced_name, referenced_type\n"
     "from all_dependencies\n"
     "where owner = :P_OWNER or\n"
     "referenced_owner = :P_REFERENCED_OWNER",
     {":P_OWNER", ":P_REFERENCED_OWNER"}},
    {"OCIInvalidObjects",
     "select object_name, object_type from all_objects\n"
     "where owner = :P_OWNER and\n"
     "status = 'INVALID'",
     {":P_OWNER"}},
    {"OCITriggers",
     "select owner, trigger_name, trigger_type, triggering_event, table_name, when_clause,\n"
     "status, description, trigger_body\n"
     "from all_triggers\n"
     "where table_owner = :P_OWNER and\n"
     "base_object_type in ('TABLE', 'VIEW')",
     {":P_OWNER"}},
    {"OCIObjectTypes",
     "select object_type from all_objects\n"
     "where owner = :P_OWNER and\n"
     "object_name = :P_NAME\n"
     "order by NLSSORT(object_type, 'NLS_SORT=BINARY')",
     {":P_OWNER", ":P_NAME"}},
};

}  // namespace

const QueryText& QueryTextOf(QueryId id) { return kQueries[static_cast<int>(id)]; }
