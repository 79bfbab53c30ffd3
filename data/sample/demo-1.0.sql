-- The DEMO dictionary as it was at version 1.0 of the sample project: run after demo.sql,
-- it takes back what the schemas gained since, so that
--   vellumar-build --changes demo-1.0.sqlite demo.sqlite
-- shows a release's changes.

-- HR.JOB_HISTORY_NOTES came later.
DELETE FROM dba_tables WHERE owner = 'HR' AND table_name = 'JOB_HISTORY_NOTES';
DELETE FROM dba_tab_comments WHERE owner = 'HR' AND table_name = 'JOB_HISTORY_NOTES';
DELETE FROM dba_tab_columns WHERE owner = 'HR' AND table_name = 'JOB_HISTORY_NOTES';
DELETE FROM dba_col_comments WHERE owner = 'HR' AND table_name = 'JOB_HISTORY_NOTES';
DELETE FROM dba_objects WHERE owner = 'HR' AND object_name = 'JOB_HISTORY_NOTES';

-- HR.EMPLOYEES had no commission yet, a shorter phone number, and an e-mail address that
-- could be left empty.
DELETE FROM dba_tab_columns
  WHERE owner = 'HR' AND table_name = 'EMPLOYEES' AND column_name = 'COMMISSION_PCT';
DELETE FROM dba_col_comments
  WHERE owner = 'HR' AND table_name = 'EMPLOYEES' AND column_name = 'COMMISSION_PCT';
UPDATE dba_tab_columns SET data_length = 15
  WHERE owner = 'HR' AND table_name = 'EMPLOYEES' AND column_name = 'PHONE_NUMBER';
UPDATE dba_tab_columns SET nullable = 'Y'
  WHERE owner = 'HR' AND table_name = 'EMPLOYEES' AND column_name = 'EMAIL';

-- A table and a sequence dropped since.
INSERT INTO dba_tables (owner, table_name) VALUES ('HR', 'EMP_ARCHIVE');
INSERT INTO dba_tab_comments (owner, table_name, table_type, comments) VALUES
  ('HR', 'EMP_ARCHIVE', 'TABLE', 'Employees who left, kept for five years.');
INSERT INTO dba_tab_columns
  (owner, table_name, column_name, column_id, data_type, data_length, data_precision, nullable)
VALUES
  ('HR', 'EMP_ARCHIVE', 'EMPLOYEE_ID', 1, 'NUMBER', 22, 6, 'N'),
  ('HR', 'EMP_ARCHIVE', 'LEFT_ON', 2, 'DATE', 7, NULL, 'N');
INSERT INTO dba_col_comments (owner, table_name, column_name, comments) VALUES
  ('HR', 'EMP_ARCHIVE', 'EMPLOYEE_ID', NULL), ('HR', 'EMP_ARCHIVE', 'LEFT_ON', NULL);
INSERT INTO dba_sequences (sequence_owner, sequence_name) VALUES ('HR', 'JOBS_SEQ');

-- EMP_MGMT.REMOVE_EMPLOYEE took no last day, and RAISE_SALARY's percent was P_PCT.
DELETE FROM dba_arguments WHERE object_name = 'REMOVE_EMPLOYEE' AND argument_name = 'P_LAST_DAY';
UPDATE dba_arguments SET argument_name = 'P_PCT'
  WHERE object_name = 'RAISE_SALARY' AND argument_name = 'P_PERCENT';
