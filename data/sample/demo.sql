-- Sample dictionary DEMO: the human resources schema HR and the payroll schema PAYROLL.
-- Run on an empty snapshot (schema and indexes already created).

INSERT INTO dba_users (username, password_sha256) VALUES
  ('HR', '1b52f3a2e15148731314bf167145c54565ed2385a862b5eb7771eaf719e4f82e'),       -- hr
  ('PAYROLL', '60f91a742458ae606572f40dd7df0a128e554acb023f6989fe5148872648fc56');  -- payroll

-- Tables -------------------------------------------------------------------------------

INSERT INTO dba_tables (owner, table_name) VALUES
  ('HR', 'REGIONS'), ('HR', 'COUNTRIES'), ('HR', 'LOCATIONS'), ('HR', 'DEPARTMENTS'),
  ('HR', 'JOBS'), ('HR', 'EMPLOYEES'), ('HR', 'JOB_HISTORY'), ('HR', 'JOB_HISTORY_NOTES'),
  ('PAYROLL', 'EMPLOYEES'), ('PAYROLL', 'PAY_GRADES'), ('PAYROLL', 'PAYSLIPS'),
  ('PAYROLL', 'PAYSLIP_LINES');

INSERT INTO dba_tab_columns
  (owner, table_name, column_name, column_id, data_type, data_length, data_precision, nullable)
VALUES
  ('HR', 'REGIONS', 'REGION_ID', 1, 'NUMBER', 22, 4, 'N'),
  ('HR', 'REGIONS', 'REGION_NAME', 2, 'VARCHAR2', 25, NULL, 'Y'),

  ('HR', 'COUNTRIES', 'COUNTRY_ID', 1, 'CHAR', 2, NULL, 'N'),
  ('HR', 'COUNTRIES', 'COUNTRY_NAME', 2, 'VARCHAR2', 40, NULL, 'Y'),
  ('HR', 'COUNTRIES', 'REGION_ID', 3, 'NUMBER', 22, 4, 'Y'),

  ('HR', 'LOCATIONS', 'LOCATION_ID', 1, 'NUMBER', 22, 4, 'N'),
  ('HR', 'LOCATIONS', 'STREET_ADDRESS', 2, 'VARCHAR2', 40, NULL, 'Y'),
  ('HR', 'LOCATIONS', 'POSTAL_CODE', 3, 'VARCHAR2', 12, NULL, 'Y'),
  ('HR', 'LOCATIONS', 'CITY', 4, 'VARCHAR2', 30, NULL, 'N'),
  ('HR', 'LOCATIONS', 'STATE_PROVINCE', 5, 'VARCHAR2', 25, NULL, 'Y'),
  ('HR', 'LOCATIONS', 'COUNTRY_ID', 6, 'CHAR', 2, NULL, 'Y'),

  ('HR', 'DEPARTMENTS', 'DEPARTMENT_ID', 1, 'NUMBER', 22, 4, 'N'),
  ('HR', 'DEPARTMENTS', 'DEPARTMENT_NAME', 2, 'VARCHAR2', 30, NULL, 'N'),
  ('HR', 'DEPARTMENTS', 'MANAGER_ID', 3, 'NUMBER', 22, 6, 'Y'),
  ('HR', 'DEPARTMENTS', 'LOCATION_ID', 4, 'NUMBER', 22, 4, 'Y'),

  ('HR', 'JOBS', 'JOB_ID', 1, 'VARCHAR2', 10, NULL, 'N'),
  ('HR', 'JOBS', 'JOB_TITLE', 2, 'VARCHAR2', 35, NULL, 'N'),
  ('HR', 'JOBS', 'MIN_SALARY', 3, 'NUMBER', 22, NULL, 'Y'),
  ('HR', 'JOBS', 'MAX_SALARY', 4, 'NUMBER', 22, NULL, 'Y'),

  ('HR', 'EMPLOYEES', 'EMPLOYEE_ID', 1, 'NUMBER', 22, 6, 'N'),
  ('HR', 'EMPLOYEES', 'FIRST_NAME', 2, 'VARCHAR2', 20, NULL, 'Y'),
  ('HR', 'EMPLOYEES', 'LAST_NAME', 3, 'VARCHAR2', 25, NULL, 'N'),
  ('HR', 'EMPLOYEES', 'EMAIL', 4, 'VARCHAR2', 25, NULL, 'N'),
  ('HR', 'EMPLOYEES', 'PHONE_NUMBER', 5, 'VARCHAR2', 20, NULL, 'Y'),
  ('HR', 'EMPLOYEES', 'HIRE_DATE', 6, 'DATE', 7, NULL, 'N'),
  ('HR', 'EMPLOYEES', 'JOB_ID', 7, 'VARCHAR2', 10, NULL, 'N'),
  ('HR', 'EMPLOYEES', 'SALARY', 8, 'NUMBER', 22, 8, 'Y'),
  ('HR', 'EMPLOYEES', 'COMMISSION_PCT', 9, 'NUMBER', 22, 2, 'Y'),
  ('HR', 'EMPLOYEES', 'MANAGER_ID', 10, 'NUMBER', 22, 6, 'Y'),
  ('HR', 'EMPLOYEES', 'DEPARTMENT_ID', 11, 'NUMBER', 22, 4, 'Y'),

  ('HR', 'JOB_HISTORY', 'EMPLOYEE_ID', 1, 'NUMBER', 22, 6, 'N'),
  ('HR', 'JOB_HISTORY', 'START_DATE', 2, 'DATE', 7, NULL, 'N'),
  ('HR', 'JOB_HISTORY', 'END_DATE', 3, 'DATE', 7, NULL, 'N'),
  ('HR', 'JOB_HISTORY', 'JOB_ID', 4, 'VARCHAR2', 10, NULL, 'N'),
  ('HR', 'JOB_HISTORY', 'DEPARTMENT_ID', 5, 'NUMBER', 22, 4, 'Y'),

  ('HR', 'JOB_HISTORY_NOTES', 'EMPLOYEE_ID', 1, 'NUMBER', 22, 6, 'N'),
  ('HR', 'JOB_HISTORY_NOTES', 'START_DATE', 2, 'DATE', 7, NULL, 'N'),
  ('HR', 'JOB_HISTORY_NOTES', 'NOTE_NO', 3, 'NUMBER', 22, 3, 'N'),
  ('HR', 'JOB_HISTORY_NOTES', 'NOTE_TEXT', 4, 'VARCHAR2', 400, NULL, 'Y'),
  ('HR', 'JOB_HISTORY_NOTES', 'WRITTEN_BY', 5, 'VARCHAR2', 30, NULL, 'Y'),

  ('PAYROLL', 'EMPLOYEES', 'EMPLOYEE_ID', 1, 'NUMBER', 22, 6, 'N'),
  ('PAYROLL', 'EMPLOYEES', 'BANK_ACCOUNT', 2, 'VARCHAR2', 34, NULL, 'Y'),
  ('PAYROLL', 'EMPLOYEES', 'TAX_CODE', 3, 'VARCHAR2', 10, NULL, 'Y'),
  ('PAYROLL', 'EMPLOYEES', 'GRADE_ID', 4, 'NUMBER', 22, 2, 'Y'),

  ('PAYROLL', 'PAY_GRADES', 'GRADE_ID', 1, 'NUMBER', 22, 2, 'N'),
  ('PAYROLL', 'PAY_GRADES', 'GRADE_NAME', 2, 'VARCHAR2', 30, NULL, 'N'),
  ('PAYROLL', 'PAY_GRADES', 'LOWEST_SAL', 3, 'NUMBER', 22, NULL, 'Y'),
  ('PAYROLL', 'PAY_GRADES', 'HIGHEST_SAL', 4, 'NUMBER', 22, NULL, 'Y'),

  ('PAYROLL', 'PAYSLIPS', 'PAYSLIP_ID', 1, 'NUMBER', 22, 10, 'N'),
  ('PAYROLL', 'PAYSLIPS', 'EMPLOYEE_ID', 2, 'NUMBER', 22, 6, 'N'),
  ('PAYROLL', 'PAYSLIPS', 'PAY_PERIOD', 3, 'DATE', 7, NULL, 'N'),
  ('PAYROLL', 'PAYSLIPS', 'GROSS_PAY', 4, 'NUMBER', 22, 10, 'N'),
  ('PAYROLL', 'PAYSLIPS', 'NET_PAY', 5, 'NUMBER', 22, 10, 'N'),

  ('PAYROLL', 'PAYSLIP_LINES', 'PAYSLIP_ID', 1, 'NUMBER', 22, 10, 'N'),
  ('PAYROLL', 'PAYSLIP_LINES', 'LINE_NO', 2, 'NUMBER', 22, 3, 'N'),
  ('PAYROLL', 'PAYSLIP_LINES', 'PAY_ITEM', 3, 'VARCHAR2', 30, NULL, 'N'),
  ('PAYROLL', 'PAYSLIP_LINES', 'AMOUNT', 4, 'NUMBER', 22, NULL, 'N');

-- The rest of a type as Oracle keeps it: every NUMBER with a precision has a scale (money
-- has two decimals), and character columns count bytes ('B') unless declared in characters
-- ('C'): NOTE_TEXT is VARCHAR2(400 CHAR), which takes up to 1600 bytes.
UPDATE dba_tab_columns SET data_scale = 0
  WHERE data_type = 'NUMBER' AND data_precision IS NOT NULL;
UPDATE dba_tab_columns SET data_scale = 2
  WHERE owner = 'HR' AND table_name = 'EMPLOYEES' AND column_name IN ('SALARY', 'COMMISSION_PCT');
UPDATE dba_tab_columns SET char_length = data_length, char_used = 'B'
  WHERE data_type IN ('VARCHAR2', 'CHAR');
UPDATE dba_tab_columns SET data_length = 1600, char_length = 400, char_used = 'C'
  WHERE owner = 'HR' AND table_name = 'JOB_HISTORY_NOTES' AND column_name = 'NOTE_TEXT';

-- Comments: the dictionary has a comment row for every table, view and column; most are
-- filled in, some are left empty as they are in real schemas.

INSERT INTO dba_tab_comments (owner, table_name, table_type, comments)
  SELECT owner, table_name, 'TABLE', NULL FROM dba_tables;
INSERT INTO dba_col_comments (owner, table_name, column_name, comments)
  SELECT owner, table_name, column_name, NULL FROM dba_tab_columns;

UPDATE dba_tab_comments SET comments = CASE table_name
  WHEN 'REGIONS' THEN 'Regions of the world the company operates in.'
  WHEN 'COUNTRIES' THEN 'Countries, each belonging to one region.'
  WHEN 'DEPARTMENTS' THEN 'Departments of the company, with their manager and location.'
  WHEN 'JOBS' THEN 'Job titles and the salary range of each job.'
  WHEN 'EMPLOYEES' THEN 'Employees: personal data, job, salary and department.'
  WHEN 'JOB_HISTORY' THEN 'Earlier jobs of employees: one row for each job an employee held.'
  WHEN 'JOB_HISTORY_NOTES' THEN 'Notes written by managers about a period of an employee''s job history.'
  END
WHERE owner = 'HR';
UPDATE dba_tab_comments SET comments = CASE table_name
  WHEN 'EMPLOYEES' THEN 'Payroll data of employees: bank account and tax code.'
  WHEN 'PAY_GRADES' THEN 'Salary grades and their pay range.'
  WHEN 'PAYSLIPS' THEN 'Monthly payslips.'
  END
WHERE owner = 'PAYROLL';

UPDATE dba_col_comments SET comments = CASE table_name || '.' || column_name
  WHEN 'REGIONS.REGION_ID' THEN 'Primary key of regions.'
  WHEN 'REGIONS.REGION_NAME' THEN 'Name of the region.'
  WHEN 'COUNTRIES.COUNTRY_ID' THEN 'ISO 3166 country code.'
  WHEN 'COUNTRIES.COUNTRY_NAME' THEN 'Name of the country.'
  WHEN 'COUNTRIES.REGION_ID' THEN 'Region the country belongs to.'
  WHEN 'LOCATIONS.CITY' THEN 'City of the office.'
  WHEN 'DEPARTMENTS.DEPARTMENT_ID' THEN 'Primary key of departments.'
  WHEN 'DEPARTMENTS.DEPARTMENT_NAME' THEN 'Name of the department, e.g. Payroll or Shipping.'
  WHEN 'DEPARTMENTS.MANAGER_ID' THEN 'Employee who manages the department.'
  WHEN 'DEPARTMENTS.LOCATION_ID' THEN 'Office where the department works.'
  WHEN 'JOBS.JOB_ID' THEN 'Primary key of jobs, e.g. SA_REP.'
  WHEN 'JOBS.JOB_TITLE' THEN 'Title of the job.'
  WHEN 'JOBS.MIN_SALARY' THEN 'Lowest monthly salary paid for the job.'
  WHEN 'JOBS.MAX_SALARY' THEN 'Highest monthly salary paid for the job.'
  WHEN 'EMPLOYEES.EMPLOYEE_ID' THEN 'Primary key of employees.'
  WHEN 'EMPLOYEES.FIRST_NAME' THEN 'First name of the employee.'
  WHEN 'EMPLOYEES.LAST_NAME' THEN 'Last name of the employee.'
  WHEN 'EMPLOYEES.EMAIL' THEN 'E-mail name of the employee, without the domain.'
  WHEN 'EMPLOYEES.PHONE_NUMBER' THEN 'Office phone number, with the country code.'
  WHEN 'EMPLOYEES.HIRE_DATE' THEN 'Day the employee started.'
  WHEN 'EMPLOYEES.JOB_ID' THEN 'Current job of the employee.'
  WHEN 'EMPLOYEES.SALARY' THEN 'Monthly salary.'
  WHEN 'EMPLOYEES.COMMISSION_PCT' THEN 'Commission percentage; only sales staff earn one.'
  WHEN 'EMPLOYEES.MANAGER_ID' THEN 'Manager of the employee.'
  WHEN 'EMPLOYEES.DEPARTMENT_ID' THEN 'Department the employee works in.'
  WHEN 'JOB_HISTORY.EMPLOYEE_ID' THEN 'Employee who held the job.'
  WHEN 'JOB_HISTORY.START_DATE' THEN 'First day in the job.'
  WHEN 'JOB_HISTORY.END_DATE' THEN 'Last day in the job.'
  WHEN 'JOB_HISTORY.JOB_ID' THEN 'Job held.'
  WHEN 'JOB_HISTORY.DEPARTMENT_ID' THEN 'Department the job belonged to.'
  WHEN 'JOB_HISTORY_NOTES.NOTE_NO' THEN 'Running number of the note within the period.'
  WHEN 'JOB_HISTORY_NOTES.NOTE_TEXT' THEN 'Text of the note, in any language.' || char(10) ||
    'Up to 400 characters, however many bytes they take.'
  END
WHERE owner = 'HR';
UPDATE dba_col_comments SET comments = CASE table_name || '.' || column_name
  WHEN 'EMPLOYEES.EMPLOYEE_ID' THEN 'Employee number, as in HR.EMPLOYEES.'
  WHEN 'EMPLOYEES.BANK_ACCOUNT' THEN 'IBAN of the salary account.'
  WHEN 'EMPLOYEES.TAX_CODE' THEN 'Tax code from the tax authority.'
  WHEN 'PAY_GRADES.GRADE_ID' THEN 'Primary key of pay grades.'
  WHEN 'PAYSLIPS.PAYSLIP_ID' THEN 'Primary key of payslips.'
  WHEN 'PAYSLIPS.PAY_PERIOD' THEN 'First day of the month paid.'
  END
WHERE owner = 'PAYROLL';

-- Keys ---------------------------------------------------------------------------------

INSERT INTO dba_constraints
  (owner, constraint_name, constraint_type, table_name, r_owner, r_constraint_name)
VALUES
  ('HR', 'REG_ID_PK', 'P', 'REGIONS', NULL, NULL),
  ('HR', 'COUNTRY_C_ID_PK', 'P', 'COUNTRIES', NULL, NULL),
  ('HR', 'COUNTR_REG_FK', 'R', 'COUNTRIES', 'HR', 'REG_ID_PK'),
  ('HR', 'LOC_ID_PK', 'P', 'LOCATIONS', NULL, NULL),
  ('HR', 'LOC_C_ID_FK', 'R', 'LOCATIONS', 'HR', 'COUNTRY_C_ID_PK'),
  ('HR', 'DEPT_ID_PK', 'P', 'DEPARTMENTS', NULL, NULL),
  ('HR', 'DEPT_LOC_FK', 'R', 'DEPARTMENTS', 'HR', 'LOC_ID_PK'),
  ('HR', 'DEPT_MGR_FK', 'R', 'DEPARTMENTS', 'HR', 'EMP_EMP_ID_PK'),
  ('HR', 'JOB_ID_PK', 'P', 'JOBS', NULL, NULL),
  ('HR', 'EMP_EMP_ID_PK', 'P', 'EMPLOYEES', NULL, NULL),
  ('HR', 'EMP_EMAIL_UK', 'U', 'EMPLOYEES', NULL, NULL),
  ('HR', 'EMP_SALARY_MIN', 'C', 'EMPLOYEES', NULL, NULL),
  ('HR', 'EMP_DEPT_FK', 'R', 'EMPLOYEES', 'HR', 'DEPT_ID_PK'),
  ('HR', 'EMP_JOB_FK', 'R', 'EMPLOYEES', 'HR', 'JOB_ID_PK'),
  ('HR', 'EMP_MANAGER_FK', 'R', 'EMPLOYEES', 'HR', 'EMP_EMP_ID_PK'),
  ('HR', 'JHIST_EMP_ID_ST_DATE_PK', 'P', 'JOB_HISTORY', NULL, NULL),
  ('HR', 'JHIST_EMP_FK', 'R', 'JOB_HISTORY', 'HR', 'EMP_EMP_ID_PK'),
  ('HR', 'JHIST_JOB_FK', 'R', 'JOB_HISTORY', 'HR', 'JOB_ID_PK'),
  ('HR', 'JHIST_DEPT_FK', 'R', 'JOB_HISTORY', 'HR', 'DEPT_ID_PK'),
  ('HR', 'JHNOTE_PK', 'P', 'JOB_HISTORY_NOTES', NULL, NULL),
  ('HR', 'JOB_HISTORY_NOTES_JHIST_FK', 'R', 'JOB_HISTORY_NOTES', 'HR', 'JHIST_EMP_ID_ST_DATE_PK'),
  ('PAYROLL', 'PAY_EMP_PK', 'P', 'EMPLOYEES', NULL, NULL),
  ('PAYROLL', 'PAY_EMP_GRADE_FK', 'R', 'EMPLOYEES', 'PAYROLL', 'PAY_GRADE_PK'),
  ('PAYROLL', 'PAY_GRADE_PK', 'P', 'PAY_GRADES', NULL, NULL),
  ('PAYROLL', 'PAYSLIP_PK', 'P', 'PAYSLIPS', NULL, NULL),
  ('PAYROLL', 'PAYSLIP_EMP_FK', 'R', 'PAYSLIPS', 'PAYROLL', 'PAY_EMP_PK'),
  ('PAYROLL', 'PAYSLIP_LINE_PK', 'P', 'PAYSLIP_LINES', NULL, NULL),
  ('PAYROLL', 'PAYSLIP_LINE_SLIP_FK', 'R', 'PAYSLIP_LINES', 'PAYROLL', 'PAYSLIP_PK');

INSERT INTO dba_cons_columns (owner, constraint_name, table_name, column_name, position) VALUES
  ('HR', 'REG_ID_PK', 'REGIONS', 'REGION_ID', 1),
  ('HR', 'COUNTRY_C_ID_PK', 'COUNTRIES', 'COUNTRY_ID', 1),
  ('HR', 'COUNTR_REG_FK', 'COUNTRIES', 'REGION_ID', 1),
  ('HR', 'LOC_ID_PK', 'LOCATIONS', 'LOCATION_ID', 1),
  ('HR', 'LOC_C_ID_FK', 'LOCATIONS', 'COUNTRY_ID', 1),
  ('HR', 'DEPT_ID_PK', 'DEPARTMENTS', 'DEPARTMENT_ID', 1),
  ('HR', 'DEPT_LOC_FK', 'DEPARTMENTS', 'LOCATION_ID', 1),
  ('HR', 'DEPT_MGR_FK', 'DEPARTMENTS', 'MANAGER_ID', 1),
  ('HR', 'JOB_ID_PK', 'JOBS', 'JOB_ID', 1),
  ('HR', 'EMP_EMP_ID_PK', 'EMPLOYEES', 'EMPLOYEE_ID', 1),
  ('HR', 'EMP_EMAIL_UK', 'EMPLOYEES', 'EMAIL', 1),
  ('HR', 'EMP_SALARY_MIN', 'EMPLOYEES', 'SALARY', NULL),
  ('HR', 'EMP_DEPT_FK', 'EMPLOYEES', 'DEPARTMENT_ID', 1),
  ('HR', 'EMP_JOB_FK', 'EMPLOYEES', 'JOB_ID', 1),
  ('HR', 'EMP_MANAGER_FK', 'EMPLOYEES', 'MANAGER_ID', 1),
  ('HR', 'JHIST_EMP_ID_ST_DATE_PK', 'JOB_HISTORY', 'EMPLOYEE_ID', 1),
  ('HR', 'JHIST_EMP_ID_ST_DATE_PK', 'JOB_HISTORY', 'START_DATE', 2),
  ('HR', 'JHIST_EMP_FK', 'JOB_HISTORY', 'EMPLOYEE_ID', 1),
  ('HR', 'JHIST_JOB_FK', 'JOB_HISTORY', 'JOB_ID', 1),
  ('HR', 'JHIST_DEPT_FK', 'JOB_HISTORY', 'DEPARTMENT_ID', 1),
  ('HR', 'JHNOTE_PK', 'JOB_HISTORY_NOTES', 'EMPLOYEE_ID', 1),
  ('HR', 'JHNOTE_PK', 'JOB_HISTORY_NOTES', 'START_DATE', 2),
  ('HR', 'JHNOTE_PK', 'JOB_HISTORY_NOTES', 'NOTE_NO', 3),
  ('HR', 'JOB_HISTORY_NOTES_JHIST_FK', 'JOB_HISTORY_NOTES', 'EMPLOYEE_ID', 1),
  ('HR', 'JOB_HISTORY_NOTES_JHIST_FK', 'JOB_HISTORY_NOTES', 'START_DATE', 2),
  ('PAYROLL', 'PAY_EMP_PK', 'EMPLOYEES', 'EMPLOYEE_ID', 1),
  ('PAYROLL', 'PAY_EMP_GRADE_FK', 'EMPLOYEES', 'GRADE_ID', 1),
  ('PAYROLL', 'PAY_GRADE_PK', 'PAY_GRADES', 'GRADE_ID', 1),
  ('PAYROLL', 'PAYSLIP_PK', 'PAYSLIPS', 'PAYSLIP_ID', 1),
  ('PAYROLL', 'PAYSLIP_EMP_FK', 'PAYSLIPS', 'EMPLOYEE_ID', 1),
  ('PAYROLL', 'PAYSLIP_LINE_PK', 'PAYSLIP_LINES', 'PAYSLIP_ID', 1),
  ('PAYROLL', 'PAYSLIP_LINE_PK', 'PAYSLIP_LINES', 'LINE_NO', 2),
  ('PAYROLL', 'PAYSLIP_LINE_SLIP_FK', 'PAYSLIP_LINES', 'PAYSLIP_ID', 1);

-- Indexes (each key has its index, as Oracle creates them) -----------------------------
-- A descending or function-based index column is a hidden column of the table
-- (SYS_NC, its internal column number, $), which no table lists; what it stands for is
-- in dba_ind_expressions: a descending column's quoted name, or the expression.

INSERT INTO dba_indexes (owner, index_name, table_owner, table_name) VALUES
  ('HR', 'REG_ID_PK', 'HR', 'REGIONS'),
  ('HR', 'COUNTRY_C_ID_PK', 'HR', 'COUNTRIES'),
  ('HR', 'LOC_ID_PK', 'HR', 'LOCATIONS'),
  ('HR', 'LOC_CITY_IX', 'HR', 'LOCATIONS'),
  ('HR', 'DEPT_ID_PK', 'HR', 'DEPARTMENTS'),
  ('HR', 'DEPT_LOCATION_IX', 'HR', 'DEPARTMENTS'),
  ('HR', 'JOB_ID_PK', 'HR', 'JOBS'),
  ('HR', 'EMP_EMP_ID_PK', 'HR', 'EMPLOYEES'),
  ('HR', 'EMP_EMAIL_UK', 'HR', 'EMPLOYEES'),
  ('HR', 'EMP_DEPARTMENT_IX', 'HR', 'EMPLOYEES'),
  ('HR', 'EMP_JOB_IX', 'HR', 'EMPLOYEES'),
  ('HR', 'EMP_NAME_IX', 'HR', 'EMPLOYEES'),
  ('HR', 'EMP_UPPER_NAME_IX', 'HR', 'EMPLOYEES'),
  ('HR', 'JHIST_EMP_ID_ST_DATE_PK', 'HR', 'JOB_HISTORY'),
  ('HR', 'JHNOTE_PK', 'HR', 'JOB_HISTORY_NOTES'),
  ('PAYROLL', 'PAY_EMP_PK', 'PAYROLL', 'EMPLOYEES'),
  ('PAYROLL', 'PAY_GRADE_PK', 'PAYROLL', 'PAY_GRADES'),
  ('PAYROLL', 'PAYSLIP_PK', 'PAYROLL', 'PAYSLIPS'),
  ('PAYROLL', 'PAYSLIP_PERIOD_IX', 'PAYROLL', 'PAYSLIPS'),
  ('PAYROLL', 'PAYSLIP_LINE_PK', 'PAYROLL', 'PAYSLIP_LINES');

INSERT INTO dba_ind_columns
  (index_owner, index_name, table_owner, table_name, column_name, column_position)
VALUES
  ('HR', 'REG_ID_PK', 'HR', 'REGIONS', 'REGION_ID', 1),
  ('HR', 'COUNTRY_C_ID_PK', 'HR', 'COUNTRIES', 'COUNTRY_ID', 1),
  ('HR', 'LOC_ID_PK', 'HR', 'LOCATIONS', 'LOCATION_ID', 1),
  ('HR', 'LOC_CITY_IX', 'HR', 'LOCATIONS', 'CITY', 1),
  ('HR', 'DEPT_ID_PK', 'HR', 'DEPARTMENTS', 'DEPARTMENT_ID', 1),
  ('HR', 'DEPT_LOCATION_IX', 'HR', 'DEPARTMENTS', 'LOCATION_ID', 1),
  ('HR', 'JOB_ID_PK', 'HR', 'JOBS', 'JOB_ID', 1),
  ('HR', 'EMP_EMP_ID_PK', 'HR', 'EMPLOYEES', 'EMPLOYEE_ID', 1),
  ('HR', 'EMP_EMAIL_UK', 'HR', 'EMPLOYEES', 'EMAIL', 1),
  ('HR', 'EMP_DEPARTMENT_IX', 'HR', 'EMPLOYEES', 'DEPARTMENT_ID', 1),
  ('HR', 'EMP_JOB_IX', 'HR', 'EMPLOYEES', 'JOB_ID', 1),
  ('HR', 'EMP_NAME_IX', 'HR', 'EMPLOYEES', 'LAST_NAME', 1),
  ('HR', 'EMP_NAME_IX', 'HR', 'EMPLOYEES', 'FIRST_NAME', 2),
  ('HR', 'EMP_UPPER_NAME_IX', 'HR', 'EMPLOYEES', 'SYS_NC00012$', 1),
  ('HR', 'JHIST_EMP_ID_ST_DATE_PK', 'HR', 'JOB_HISTORY', 'EMPLOYEE_ID', 1),
  ('HR', 'JHIST_EMP_ID_ST_DATE_PK', 'HR', 'JOB_HISTORY', 'START_DATE', 2),
  ('HR', 'JHNOTE_PK', 'HR', 'JOB_HISTORY_NOTES', 'EMPLOYEE_ID', 1),
  ('HR', 'JHNOTE_PK', 'HR', 'JOB_HISTORY_NOTES', 'START_DATE', 2),
  ('HR', 'JHNOTE_PK', 'HR', 'JOB_HISTORY_NOTES', 'NOTE_NO', 3),
  ('PAYROLL', 'PAY_EMP_PK', 'PAYROLL', 'EMPLOYEES', 'EMPLOYEE_ID', 1),
  ('PAYROLL', 'PAY_GRADE_PK', 'PAYROLL', 'PAY_GRADES', 'GRADE_ID', 1),
  ('PAYROLL', 'PAYSLIP_PK', 'PAYROLL', 'PAYSLIPS', 'PAYSLIP_ID', 1),
  ('PAYROLL', 'PAYSLIP_PERIOD_IX', 'PAYROLL', 'PAYSLIPS', 'SYS_NC00006$', 1),
  ('PAYROLL', 'PAYSLIP_PERIOD_IX', 'PAYROLL', 'PAYSLIPS', 'EMPLOYEE_ID', 2),
  ('PAYROLL', 'PAYSLIP_LINE_PK', 'PAYROLL', 'PAYSLIP_LINES', 'PAYSLIP_ID', 1),
  ('PAYROLL', 'PAYSLIP_LINE_PK', 'PAYROLL', 'PAYSLIP_LINES', 'LINE_NO', 2);

INSERT INTO dba_ind_expressions
  (index_owner, index_name, table_owner, table_name, column_expression, column_position)
VALUES
  ('HR', 'EMP_UPPER_NAME_IX', 'HR', 'EMPLOYEES', 'UPPER("LAST_NAME")', 1),
  ('PAYROLL', 'PAYSLIP_PERIOD_IX', 'PAYROLL', 'PAYSLIPS', '"PAY_PERIOD"', 1);

-- Synonyms and sequences ---------------------------------------------------------------

INSERT INTO dba_synonyms (owner, synonym_name, table_owner, table_name) VALUES
  ('HR', 'EMP', 'HR', 'EMPLOYEES'),
  ('PUBLIC', 'STAFF', 'HR', 'EMPLOYEES'),
  ('HR', 'DEPT', 'HR', 'DEPARTMENTS'),
  ('PAYROLL', 'GRADES', 'PAYROLL', 'PAY_GRADES');

INSERT INTO dba_sequences (sequence_owner, sequence_name) VALUES
  ('HR', 'DEPARTMENTS_SEQ'), ('HR', 'EMPLOYEES_SEQ'), ('HR', 'LOCATIONS_SEQ'),
  ('PAYROLL', 'PAYSLIPS_SEQ');

-- Grants -------------------------------------------------------------------------------

INSERT INTO dba_tab_privs (owner, table_name, grantor, grantee, privilege) VALUES
  ('HR', 'EMPLOYEES', 'HR', 'PAYROLL', 'SELECT'),
  ('HR', 'DEPARTMENTS', 'HR', 'PAYROLL', 'SELECT'),
  ('HR', 'EMPLOYEES', 'HR', 'REPORTING', 'SELECT'),
  ('HR', 'DEPARTMENTS', 'HR', 'REPORTING', 'SELECT'),
  ('HR', 'JOBS', 'HR', 'REPORTING', 'SELECT'),
  ('HR', 'EMP_DETAILS_VIEW', 'HR', 'REPORTING', 'SELECT'),
  ('HR', 'JOB_HISTORY_NOTES', 'HR', 'HR_CLERK', 'INSERT'),
  ('HR', 'JOB_HISTORY_NOTES', 'HR', 'HR_CLERK', 'SELECT'),
  ('PAYROLL', 'PAYSLIPS', 'PAYROLL', 'REPORTING', 'SELECT');

-- Views: the text as Oracle keeps it (a LONG, lines and all) ------------------------------

INSERT INTO dba_views (owner, view_name, text) VALUES
  ('HR', 'EMP_DETAILS_VIEW', 'SELECT e.employee_id,
       e.first_name || '' '' || e.last_name AS full_name,
       d.department_name || '' & '' || l.city AS department_and_city,
       j.job_title,
       CASE WHEN e.salary < j.min_salary THEN ''Below range'' ELSE ''In range'' END AS salary_check
  FROM employees e, departments d, jobs j, locations l
 WHERE e.department_id = d.department_id
   AND d.location_id = l.location_id
   AND e.job_id = j.job_id
'),
  ('HR', 'DEPARTMENT_HEADCOUNT', 'SELECT department_id, COUNT(*) AS headcount FROM employees GROUP BY department_id'),
  ('PAYROLL', 'CURRENT_PAYSLIPS', 'SELECT * FROM payslips WHERE pay_period >= TRUNC(ADD_MONTHS(SYSDATE, -1), ''MM'')');

INSERT INTO dba_tab_comments (owner, table_name, table_type, comments) VALUES
  ('HR', 'EMP_DETAILS_VIEW', 'VIEW', 'Employees with department, city and job, for reports.'),
  ('HR', 'DEPARTMENT_HEADCOUNT', 'VIEW', NULL),
  ('PAYROLL', 'CURRENT_PAYSLIPS', 'VIEW', 'Payslips of the current and the previous month.');

-- PL/SQL source: each unit is written whole below and cut into lines the way Oracle stores
-- them (every line keeps its line feed; the last line has none).

CREATE TEMP TABLE unit_source (owner TEXT, name TEXT, type TEXT, body TEXT);

INSERT INTO unit_source VALUES ('HR', 'GET_EMPLOYEE_NAME', 'FUNCTION',
'FUNCTION get_employee_name (p_employee_id IN NUMBER) RETURN VARCHAR2
/*
Author:
  Human Resources IT / Example Corp
Date:
  14.03.2024
<FD>
Description:
  Gives the full name of an employee, first name first.
  An unknown employee number gives NULL.
Parameters:
  p_employee_id, NUMBER:
  Number of the employee;
Return value (VARCHAR2):
  First and last name separated by one blank.
</FD>
*/
IS
  v_name VARCHAR2(46);
BEGIN
  SELECT first_name || '' '' || last_name
    INTO v_name
    FROM employees
   WHERE employee_id = p_employee_id;
  RETURN v_name;
EXCEPTION
  WHEN NO_DATA_FOUND THEN
    RETURN NULL;
END get_employee_name;');

INSERT INTO unit_source VALUES ('HR', 'RAISE_SALARY', 'PROCEDURE',
'PROCEDURE raise_salary (p_employee_id IN NUMBER, p_percent IN NUMBER)
/*
Author:
  Human Resources IT / Example Corp
Date:
  02.04.2024
<FD>
Description:
  Raises the salary of one employee by a percentage. The new
  salary never goes above the highest salary of the employee''s job.
Parameters:
  p_employee_id, NUMBER:
  Number of the employee;
  p_percent, NUMBER:
  Raise in percent, for example 3.5 for three and a half
  percent. A negative value lowers the salary, down to the
  lowest salary of the job;
</FD>
*/
IS
BEGIN
  UPDATE employees e
     SET salary = (SELECT LEAST(j.max_salary, GREATEST(j.min_salary, e.salary * (1 + p_percent / 100)))
                     FROM jobs j
                    WHERE j.job_id = e.job_id)
   WHERE employee_id = p_employee_id;
END raise_salary;
');

INSERT INTO unit_source VALUES ('HR', 'YEARS_OF_SERVICE', 'FUNCTION',
'FUNCTION years_of_service (p_employee_id IN NUMBER, p_on_date IN DATE DEFAULT SYSDATE)
  RETURN NUMBER
/*
Author:
  Human Resources IT / Example Corp
Date:
  21.05.2024
<FD>
Description:
  Counts the whole years an employee has worked for the company.
Parameters:
  p_employee_id, NUMBER:
  Number of the employee;
  p_on_date, DATE: Day to count up to, today when left out;
Return value (NUMBER):
  Whole years between the hire date and p_on_date.
</FD>
*/
IS
  v_hired DATE;
BEGIN
  SELECT hire_date INTO v_hired FROM employees WHERE employee_id = p_employee_id;
  RETURN TRUNC(MONTHS_BETWEEN(p_on_date, v_hired) / 12);
END years_of_service;');

INSERT INTO unit_source VALUES ('HR', 'CHECK_WORKING_HOURS', 'PROCEDURE',
'PROCEDURE check_working_hours
IS
BEGIN
  -- Changes to employee data are allowed on working days from 8 to 18 only.
  IF TO_CHAR(SYSDATE, ''HH24'') NOT BETWEEN ''08'' AND ''17''
     OR TO_CHAR(SYSDATE, ''DY'', ''NLS_DATE_LANGUAGE=AMERICAN'') IN (''SAT'', ''SUN'') THEN
    RAISE_APPLICATION_ERROR(-20205, ''Changes are allowed during office hours only'');
  END IF;
END check_working_hours;');

INSERT INTO unit_source VALUES ('HR', 'EMP_MGMT', 'PACKAGE',
'PACKAGE emp_mgmt IS
/*
<PD>
Description:
  Hiring, transfers and departures of employees.
  Every change is written to the job history.
</PD>
*/

/*
Author:
  Human Resources IT / Example Corp
Date:
  10.01.2024
<FD>
Function hire_employee
Description:
  Hires a new employee and gives the number the employee gets.
Parameters:
  p_last_name, VARCHAR2:
  Last name of the new employee;
  p_email, VARCHAR2:
  E-mail name, without the domain;
  p_job_id, VARCHAR2:
  Job the employee is hired for. It must be one of the
  jobs in JOBS;
  p_department_id, NUMBER:
  Department the employee starts in;
Return value (NUMBER):
  The new employee number, taken from EMPLOYEES_SEQ.
</FD>
*/
FUNCTION hire_employee (p_last_name IN VARCHAR2, p_email IN VARCHAR2,
                        p_job_id IN VARCHAR2, p_department_id IN NUMBER) RETURN NUMBER;

/*
<FD>
Procedure transfer_employee
Description:
  Moves an employee to another department and closes the
  current period in the job history.
Parameters:
  p_employee_id, NUMBER:
  Number of the employee;
  p_department_id, NUMBER:
  Department the employee moves to;
</FD>
*/
PROCEDURE transfer_employee (p_employee_id IN NUMBER, p_department_id IN NUMBER);

/*
<FD>
Procedure remove_employee
Description:
  Ends the employment of an employee. The job history keeps
  the employee''s periods. Like every procedure of this package,
  it writes the change to the log.
Parameters:
  p_employee_id, NUMBER:
  Number of the employee;
  p_last_day, DATE:
  Last working day;
</FD>
*/
PROCEDURE remove_employee (p_employee_id IN NUMBER, p_last_day IN DATE);

-- Writes a line to the change log; used by the routines above.
PROCEDURE log_change (p_employee_id IN NUMBER, p_what IN VARCHAR2);

END emp_mgmt;');

INSERT INTO unit_source VALUES ('HR', 'EMP_MGMT', 'PACKAGE BODY',
'PACKAGE BODY emp_mgmt IS
  FUNCTION hire_employee (p_last_name IN VARCHAR2, p_email IN VARCHAR2,
                          p_job_id IN VARCHAR2, p_department_id IN NUMBER) RETURN NUMBER IS
    v_id NUMBER;
  BEGIN
    INSERT INTO employees (employee_id, last_name, email, hire_date, job_id, department_id)
    VALUES (employees_seq.NEXTVAL, p_last_name, p_email, SYSDATE, p_job_id, p_department_id)
    RETURNING employee_id INTO v_id;
    log_change(v_id, ''hired'');
    RETURN v_id;
  END hire_employee;

  PROCEDURE transfer_employee (p_employee_id IN NUMBER, p_department_id IN NUMBER) IS
  BEGIN
    UPDATE employees SET department_id = p_department_id WHERE employee_id = p_employee_id;
    log_change(p_employee_id, ''transferred'');
  END transfer_employee;

  PROCEDURE remove_employee (p_employee_id IN NUMBER, p_last_day IN DATE) IS
  BEGIN
    DELETE FROM employees WHERE employee_id = p_employee_id;
    log_change(p_employee_id, ''removed'');
  END remove_employee;

  PROCEDURE log_change (p_employee_id IN NUMBER, p_what IN VARCHAR2) IS
  BEGIN
    DBMS_OUTPUT.PUT_LINE(p_employee_id || '' '' || p_what);
  END log_change;
END emp_mgmt;');

INSERT INTO unit_source VALUES ('HR', 'HR_UTIL', 'PACKAGE',
'PACKAGE hr_util IS
/*
<PD>
Description:
  Small helpers for reports on employees and departments.
</PD>
*/

/*
<FD>
Function department_name
Description:
  Gives the name of a department.
Parameters:
  p_department_id, NUMBER:
  Number of the department;
Return value (VARCHAR2):
  Name of the department; NULL for an unknown number.
</FD>
*/
FUNCTION department_name (p_department_id IN NUMBER) RETURN VARCHAR2;

/*
<FD>
Function headcount
Description:
  Counts the employees of a department.
Parameters:
  p_department_id, NUMBER:
  Number of the department;
Return value (NUMBER):
  Number of employees; 0 for an empty or unknown department.
</FD>
*/
FUNCTION headcount (p_department_id IN NUMBER) RETURN NUMBER;
END hr_util;');

-- LEAVE_API is documented as much PL/SQL is, without tags: Javadoc blocks, comment lines
-- above and after declarations, comments on parameter lines, and a comment that only the
-- package body carries.
INSERT INTO unit_source VALUES ('HR', 'LEAVE_API', 'PACKAGE',
'PACKAGE leave_api
AS
/**
 * Leave of employees: requests, approvals and the days left.
 *
 * A request runs through three states:
 * 1. requested by the employee
 * 2. approved or rejected by the manager
 * 3. taken
 *
 * @author Human Resources IT
 * @since 2.0
 */

  -- =====================================================================
  -- Types and constants
  -- =====================================================================

  /** The days of a request, one element per working day. */
  TYPE t_days IS TABLE OF DATE;

  -- Days of leave a new employee gets per year.
  c_yearly_days CONSTANT PLS_INTEGER := 25;

  /** Raised when a request asks for more days than are left. */
  e_not_enough_days EXCEPTION;

  -- The open requests of a manager''s employees, oldest first.
  CURSOR c_open_requests (p_manager_id NUMBER) IS
    SELECT employee_id, hire_date FROM employees WHERE manager_id = p_manager_id;

  -- =====================================================================
  -- Requests
  -- =====================================================================

  /**
   * Asks for leave.
   *
   * The request waits for the manager''s approval. Days that are
   * not working days are not counted.
   *
   * @param p_employee_id the employee who asks
   * @param p_first_day   first day of leave
   * @param p_last_day    last day of leave; the first day when left out
   * @return the number of the new request
   * @throws e_not_enough_days when fewer days are left than asked for
   * @see approve
   * @example
   *   l_request := leave_api.request_leave(101, DATE ''2024-08-05'', DATE ''2024-08-16'');
   */
  FUNCTION request_leave (p_employee_id IN NUMBER,
                          p_first_day   IN DATE,
                          p_last_day    IN DATE DEFAULT NULL) RETURN NUMBER;

  -- Approves a request; the days are taken off the employee''s balance.
  -- Only the employee''s manager may approve. See also {@link reject}.
  PROCEDURE approve (p_request_id IN NUMBER);

  PROCEDURE reject (p_request_id IN NUMBER,                          -- the request to reject
                    p_reason     IN VARCHAR2 DEFAULT ''No reason given''  -- shown to the employee
                   );
  -- Rejects a request and tells the employee why.

  -- procedure cancel (p_request_id in number);

  /**
   * Days of leave left this year.
   * @deprecated use {@link days_left} with a date
   */
  FUNCTION days_left (p_employee_id IN NUMBER) RETURN NUMBER;

  /** Days of leave left on a given day, requests not yet taken included. */
  FUNCTION days_left (p_employee_id IN NUMBER, p_on_date IN DATE) RETURN NUMBER;

  PROCEDURE close_year;

END leave_api;');

INSERT INTO unit_source VALUES ('HR', 'LEAVE_API', 'PACKAGE BODY',
'PACKAGE BODY leave_api
AS
  FUNCTION request_leave (p_employee_id IN NUMBER,
                          p_first_day   IN DATE,
                          p_last_day    IN DATE DEFAULT NULL) RETURN NUMBER IS
    v_days NUMBER := NVL(p_last_day, p_first_day) - p_first_day + 1;
  BEGIN
    IF v_days > days_left(p_employee_id, p_first_day) THEN
      RAISE e_not_enough_days;
    END IF;
    RETURN employees_seq.NEXTVAL;
  END request_leave;

  PROCEDURE approve (p_request_id IN NUMBER) IS
  BEGIN
    NULL;
  END approve;

  PROCEDURE reject (p_request_id IN NUMBER, p_reason IN VARCHAR2 DEFAULT ''No reason given'') IS
  BEGIN
    DBMS_OUTPUT.PUT_LINE(p_request_id || '': '' || p_reason);
  END reject;

  FUNCTION days_left (p_employee_id IN NUMBER) RETURN NUMBER IS
  BEGIN
    RETURN days_left(p_employee_id, SYSDATE);
  END days_left;

  FUNCTION days_left (p_employee_id IN NUMBER, p_on_date IN DATE) RETURN NUMBER IS
    v_hired DATE;
  BEGIN
    SELECT hire_date INTO v_hired FROM employees WHERE employee_id = p_employee_id;
    RETURN CASE WHEN v_hired > p_on_date THEN 0 ELSE c_yearly_days END;
  END days_left;

  /*
   * Closes the leave year: days not taken move to the new year, at most
   * five of them. Runs on the first working day of January.
   */
  PROCEDURE close_year IS
  BEGIN
    FOR r IN (SELECT employee_id FROM employees) LOOP
      NULL;
    END LOOP;
  END close_year;
END leave_api;');

INSERT INTO unit_source VALUES ('PAYROLL', 'NET_PAY', 'FUNCTION',
'FUNCTION net_pay (p_gross IN NUMBER, p_tax_code IN VARCHAR2) RETURN NUMBER
/*
Author:
  Payroll team / Example Corp
Date:
  30.06.2024
<FD>
Description:
  Computes the net pay from the gross pay with the flat tax rate of
  the tax code.
Parameters:
  p_gross, NUMBER:
  Gross pay of the month;
  p_tax_code, VARCHAR2:
  Tax code of the employee;
Return value (NUMBER):
  Net pay, rounded to cents.
</FD>
*/
IS
BEGIN
  RETURN ROUND(p_gross * CASE SUBSTR(p_tax_code, 1, 1) WHEN ''A'' THEN 0.78 ELSE 0.70 END, 2);
END net_pay;');

INSERT INTO unit_source VALUES ('PAYROLL', 'SALARY_CALC', 'PACKAGE',
'PACKAGE salary_calc IS
/*
<PD>
Description:
  Monthly payroll run: payslips and their lines.
</PD>
*/

/*
<FD>
Procedure run_month
Description:
  Makes the payslips of every employee for one month.
Parameters:
  p_period, DATE:
  First day of the month to pay;
  p_test_run, BOOLEAN:
  TRUE to compute the payslips without saving them;
</FD>
*/
PROCEDURE run_month (p_period IN DATE, p_dry_run IN BOOLEAN DEFAULT FALSE);
END salary_calc;');

-- A chain of units that call each other: REVIEW_ALL runs ANNUAL_REVIEW for everyone, which
-- reads YEARS_OF_SERVICE and calls RAISE_SALARY; the job history trigger calls
-- ADD_JOB_HISTORY. None of them is in the sample project.
INSERT INTO unit_source VALUES ('HR', 'ANNUAL_REVIEW', 'PROCEDURE',
'PROCEDURE annual_review (p_employee_id IN NUMBER)
IS
BEGIN
  IF years_of_service(p_employee_id) >= 5 THEN
    raise_salary(p_employee_id, 2);
  END IF;
END annual_review;');

INSERT INTO unit_source VALUES ('HR', 'REVIEW_ALL', 'PROCEDURE',
'PROCEDURE review_all
IS
BEGIN
  FOR r IN (SELECT employee_id FROM employees) LOOP
    annual_review(r.employee_id);
  END LOOP;
END review_all;');

INSERT INTO unit_source VALUES ('HR', 'ADD_JOB_HISTORY', 'PROCEDURE',
'PROCEDURE add_job_history
  (  p_emp_id          job_history.employee_id%type
   , p_start_date      job_history.start_date%type
   , p_end_date        job_history.end_date%type
   , p_job_id          job_history.job_id%type
   , p_department_id   job_history.department_id%type
   )
IS
BEGIN
  INSERT INTO job_history (employee_id, start_date, end_date, job_id, department_id)
    VALUES(p_emp_id, p_start_date, p_end_date, p_job_id, p_department_id);
END add_job_history;');

WITH RECURSIVE split (owner, name, type, line, text, rest) AS (
  SELECT owner, name, type, 0, NULL, body FROM unit_source
  UNION ALL
  SELECT owner, name, type, line + 1,
         CASE WHEN instr(rest, char(10)) > 0 THEN substr(rest, 1, instr(rest, char(10))) ELSE rest END,
         CASE WHEN instr(rest, char(10)) > 0 THEN substr(rest, instr(rest, char(10)) + 1) END
    FROM split
   WHERE rest <> ''
)
INSERT INTO dba_source (owner, name, type, line, text)
SELECT owner, name, type, line, text FROM split WHERE line > 0 ORDER BY owner, name, type, line;

DROP TABLE unit_source;

-- What the modern documents read as well ------------------------------------------------
-- Defaults, conditions, index uniqueness and order, the columns of views and the
-- arguments of units and package members.

UPDATE dba_tab_columns SET data_default = 'SYSDATE'
  WHERE owner = 'HR' AND table_name = 'EMPLOYEES' AND column_name = 'HIRE_DATE';
UPDATE dba_tab_columns SET data_default = '0' || char(10)
  WHERE owner = 'HR' AND table_name = 'EMPLOYEES' AND column_name = 'COMMISSION_PCT';
UPDATE dba_tab_columns SET data_default = 'USER'
  WHERE owner = 'HR' AND table_name = 'JOB_HISTORY_NOTES' AND column_name = 'WRITTEN_BY';

UPDATE dba_constraints SET search_condition = 'salary > 0'
  WHERE owner = 'HR' AND constraint_name = 'EMP_SALARY_MIN';
INSERT INTO dba_constraints
  (owner, constraint_name, constraint_type, table_name, r_owner, r_constraint_name,
   search_condition)
VALUES
  ('HR', 'JOB_SALARY_RANGE', 'C', 'JOBS', NULL, NULL, 'min_salary <= max_salary'),
  ('HR', 'SYS_C0011', 'C', 'JOBS', NULL, NULL, '"JOB_TITLE" IS NOT NULL');
INSERT INTO dba_cons_columns (owner, constraint_name, table_name, column_name, position) VALUES
  ('HR', 'JOB_SALARY_RANGE', 'JOBS', 'MIN_SALARY', NULL),
  ('HR', 'JOB_SALARY_RANGE', 'JOBS', 'MAX_SALARY', NULL),
  ('HR', 'SYS_C0011', 'JOBS', 'JOB_TITLE', NULL);

UPDATE dba_indexes SET uniqueness = CASE
  WHEN index_name LIKE '%\_PK' ESCAPE '\' OR index_name LIKE '%\_UK' ESCAPE '\'
  THEN 'UNIQUE' ELSE 'NONUNIQUE' END;
UPDATE dba_ind_columns SET descend = 'ASC';
UPDATE dba_ind_columns SET descend = 'DESC'
  WHERE index_owner = 'PAYROLL' AND index_name = 'PAYSLIP_PERIOD_IX'
    AND column_name = 'SYS_NC00006$';

INSERT INTO dba_tab_columns
  (owner, table_name, column_name, column_id, data_type, data_length, data_precision, nullable,
   data_scale, char_length, char_used)
VALUES
  ('HR', 'EMP_DETAILS_VIEW', 'EMPLOYEE_ID', 1, 'NUMBER', 22, 6, 'N', 0, NULL, NULL),
  ('HR', 'EMP_DETAILS_VIEW', 'FULL_NAME', 2, 'VARCHAR2', 46, NULL, 'Y', NULL, 46, 'B'),
  ('HR', 'EMP_DETAILS_VIEW', 'DEPARTMENT_AND_CITY', 3, 'VARCHAR2', 63, NULL, 'Y', NULL, 63, 'B'),
  ('HR', 'EMP_DETAILS_VIEW', 'JOB_TITLE', 4, 'VARCHAR2', 35, NULL, 'N', NULL, 35, 'B'),
  ('HR', 'EMP_DETAILS_VIEW', 'SALARY_CHECK', 5, 'VARCHAR2', 11, NULL, 'Y', NULL, 11, 'B'),
  ('HR', 'DEPARTMENT_HEADCOUNT', 'DEPARTMENT_ID', 1, 'NUMBER', 22, 4, 'Y', 0, NULL, NULL),
  ('HR', 'DEPARTMENT_HEADCOUNT', 'HEADCOUNT', 2, 'NUMBER', 22, NULL, 'Y', NULL, NULL, NULL);
INSERT INTO dba_col_comments (owner, table_name, column_name, comments) VALUES
  ('HR', 'EMP_DETAILS_VIEW', 'EMPLOYEE_ID', 'Employee number.'),
  ('HR', 'EMP_DETAILS_VIEW', 'FULL_NAME', 'First and last name.'),
  ('HR', 'EMP_DETAILS_VIEW', 'DEPARTMENT_AND_CITY', NULL),
  ('HR', 'EMP_DETAILS_VIEW', 'JOB_TITLE', NULL),
  ('HR', 'EMP_DETAILS_VIEW', 'SALARY_CHECK', 'Whether the salary lies in the range of the job.'),
  ('HR', 'DEPARTMENT_HEADCOUNT', 'DEPARTMENT_ID', NULL),
  ('HR', 'DEPARTMENT_HEADCOUNT', 'HEADCOUNT', 'Employees in the department.');

INSERT INTO dba_arguments
  (owner, package_name, object_name, overload, argument_name, position, sequence, data_level,
   data_type, in_out, default_value, defaulted)
VALUES
  ('HR', NULL, 'GET_EMPLOYEE_NAME', NULL, NULL, 0, 1, 0, 'VARCHAR2', 'OUT', NULL, 'N'),
  ('HR', NULL, 'GET_EMPLOYEE_NAME', NULL, 'P_EMPLOYEE_ID', 1, 2, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', NULL, 'RAISE_SALARY', NULL, 'P_EMPLOYEE_ID', 1, 1, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', NULL, 'RAISE_SALARY', NULL, 'P_PERCENT', 2, 2, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', NULL, 'YEARS_OF_SERVICE', NULL, NULL, 0, 1, 0, 'NUMBER', 'OUT', NULL, 'N'),
  ('HR', NULL, 'YEARS_OF_SERVICE', NULL, 'P_EMPLOYEE_ID', 1, 2, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', NULL, 'YEARS_OF_SERVICE', NULL, 'P_ON_DATE', 2, 3, 0, 'DATE', 'IN', NULL, 'Y'),
  ('HR', 'EMP_MGMT', 'HIRE_EMPLOYEE', NULL, NULL, 0, 1, 0, 'NUMBER', 'OUT', NULL, 'N'),
  ('HR', 'EMP_MGMT', 'HIRE_EMPLOYEE', NULL, 'P_LAST_NAME', 1, 2, 0, 'VARCHAR2', 'IN', NULL, 'N'),
  ('HR', 'EMP_MGMT', 'HIRE_EMPLOYEE', NULL, 'P_EMAIL', 2, 3, 0, 'VARCHAR2', 'IN', NULL, 'N'),
  ('HR', 'EMP_MGMT', 'HIRE_EMPLOYEE', NULL, 'P_JOB_ID', 3, 4, 0, 'VARCHAR2', 'IN', NULL, 'N'),
  ('HR', 'EMP_MGMT', 'HIRE_EMPLOYEE', NULL, 'P_DEPARTMENT_ID', 4, 5, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', 'EMP_MGMT', 'TRANSFER_EMPLOYEE', NULL, 'P_EMPLOYEE_ID', 1, 1, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', 'EMP_MGMT', 'TRANSFER_EMPLOYEE', NULL, 'P_DEPARTMENT_ID', 2, 2, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', 'EMP_MGMT', 'REMOVE_EMPLOYEE', NULL, 'P_EMPLOYEE_ID', 1, 1, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', 'EMP_MGMT', 'REMOVE_EMPLOYEE', NULL, 'P_LAST_DAY', 2, 2, 0, 'DATE', 'IN', NULL, 'N'),
  ('HR', 'EMP_MGMT', 'LOG_CHANGE', NULL, 'P_EMPLOYEE_ID', 1, 1, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', 'EMP_MGMT', 'LOG_CHANGE', NULL, 'P_WHAT', 2, 2, 0, 'VARCHAR2', 'IN', NULL, 'N'),
  ('HR', 'HR_UTIL', 'DEPARTMENT_NAME', NULL, NULL, 0, 1, 0, 'VARCHAR2', 'OUT', NULL, 'N'),
  ('HR', 'HR_UTIL', 'DEPARTMENT_NAME', NULL, 'P_DEPARTMENT_ID', 1, 2, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', 'HR_UTIL', 'HEADCOUNT', NULL, NULL, 0, 1, 0, 'NUMBER', 'OUT', NULL, 'N'),
  ('HR', 'HR_UTIL', 'HEADCOUNT', NULL, 'P_DEPARTMENT_ID', 1, 2, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', 'LEAVE_API', 'REQUEST_LEAVE', NULL, NULL, 0, 1, 0, 'NUMBER', 'OUT', NULL, 'N'),
  ('HR', 'LEAVE_API', 'REQUEST_LEAVE', NULL, 'P_EMPLOYEE_ID', 1, 2, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', 'LEAVE_API', 'REQUEST_LEAVE', NULL, 'P_FIRST_DAY', 2, 3, 0, 'DATE', 'IN', NULL, 'N'),
  ('HR', 'LEAVE_API', 'REQUEST_LEAVE', NULL, 'P_LAST_DAY', 3, 4, 0, 'DATE', 'IN', NULL, 'Y'),
  ('HR', 'LEAVE_API', 'APPROVE', NULL, 'P_REQUEST_ID', 1, 1, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', 'LEAVE_API', 'REJECT', NULL, 'P_REQUEST_ID', 1, 1, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', 'LEAVE_API', 'REJECT', NULL, 'P_REASON', 2, 2, 0, 'VARCHAR2', 'IN', NULL, 'Y'),
  ('HR', 'LEAVE_API', 'DAYS_LEFT', '1', NULL, 0, 1, 0, 'NUMBER', 'OUT', NULL, 'N'),
  ('HR', 'LEAVE_API', 'DAYS_LEFT', '1', 'P_EMPLOYEE_ID', 1, 2, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', 'LEAVE_API', 'DAYS_LEFT', '2', NULL, 0, 1, 0, 'NUMBER', 'OUT', NULL, 'N'),
  ('HR', 'LEAVE_API', 'DAYS_LEFT', '2', 'P_EMPLOYEE_ID', 1, 2, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', 'LEAVE_API', 'DAYS_LEFT', '2', 'P_ON_DATE', 2, 3, 0, 'DATE', 'IN', NULL, 'N'),
  ('PAYROLL', NULL, 'NET_PAY', NULL, NULL, 0, 1, 0, 'NUMBER', 'OUT', NULL, 'N'),
  ('PAYROLL', NULL, 'NET_PAY', NULL, 'P_GROSS', 1, 2, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('PAYROLL', NULL, 'NET_PAY', NULL, 'P_TAX_CODE', 2, 3, 0, 'VARCHAR2', 'IN', NULL, 'N'),
  ('PAYROLL', 'SALARY_CALC', 'RUN_MONTH', NULL, 'P_PERIOD', 1, 1, 0, 'DATE', 'IN', NULL, 'N'),
  ('PAYROLL', 'SALARY_CALC', 'RUN_MONTH', NULL, 'P_DRY_RUN', 2, 2, 0, 'PL/SQL BOOLEAN', 'IN', NULL,
   'Y');

-- The subprograms each unit declares, in the order of declaration (a package's own row has
-- no procedure name and number 0).
INSERT INTO dba_procedures
  (owner, object_name, procedure_name, object_type, subprogram_id, overload)
VALUES
  ('HR', 'GET_EMPLOYEE_NAME', NULL, 'FUNCTION', 1, NULL),
  ('HR', 'RAISE_SALARY', NULL, 'PROCEDURE', 1, NULL),
  ('HR', 'YEARS_OF_SERVICE', NULL, 'FUNCTION', 1, NULL),
  ('HR', 'CHECK_WORKING_HOURS', NULL, 'PROCEDURE', 1, NULL),
  ('HR', 'EMP_MGMT', NULL, 'PACKAGE', 0, NULL),
  ('HR', 'EMP_MGMT', 'HIRE_EMPLOYEE', 'PACKAGE', 1, NULL),
  ('HR', 'EMP_MGMT', 'TRANSFER_EMPLOYEE', 'PACKAGE', 2, NULL),
  ('HR', 'EMP_MGMT', 'REMOVE_EMPLOYEE', 'PACKAGE', 3, NULL),
  ('HR', 'EMP_MGMT', 'LOG_CHANGE', 'PACKAGE', 4, NULL),
  ('HR', 'HR_UTIL', NULL, 'PACKAGE', 0, NULL),
  ('HR', 'HR_UTIL', 'DEPARTMENT_NAME', 'PACKAGE', 1, NULL),
  ('HR', 'HR_UTIL', 'HEADCOUNT', 'PACKAGE', 2, NULL),
  ('HR', 'LEAVE_API', NULL, 'PACKAGE', 0, NULL),
  ('HR', 'LEAVE_API', 'REQUEST_LEAVE', 'PACKAGE', 1, NULL),
  ('HR', 'LEAVE_API', 'APPROVE', 'PACKAGE', 2, NULL),
  ('HR', 'LEAVE_API', 'REJECT', 'PACKAGE', 3, NULL),
  ('HR', 'LEAVE_API', 'DAYS_LEFT', 'PACKAGE', 4, '1'),
  ('HR', 'LEAVE_API', 'DAYS_LEFT', 'PACKAGE', 5, '2'),
  ('HR', 'LEAVE_API', 'CLOSE_YEAR', 'PACKAGE', 6, NULL),
  ('PAYROLL', 'NET_PAY', NULL, 'FUNCTION', 1, NULL),
  ('PAYROLL', 'SALARY_CALC', NULL, 'PACKAGE', 0, NULL),
  ('PAYROLL', 'SALARY_CALC', 'RUN_MONTH', 'PACKAGE', 1, NULL);

-- What uses what, triggers and the status of every object -----------------------------
-- As Oracle holds them: every PL/SQL unit depends on SYS.STANDARD, a package body on its
-- specification, a call of DBMS_OUTPUT on the public synonym and the package behind it.
-- EMP_BONUS_VIEW was created when EMPLOYEES had a BONUS_PCT column; since it was dropped
-- the view is INVALID.

INSERT INTO dba_views (owner, view_name, text) VALUES
  ('HR', 'EMP_BONUS_VIEW', 'SELECT employee_id, salary * bonus_pct AS bonus FROM employees');
INSERT INTO dba_tab_comments (owner, table_name, table_type, comments) VALUES
  ('HR', 'EMP_BONUS_VIEW', 'VIEW', NULL);

INSERT INTO dba_procedures
  (owner, object_name, procedure_name, object_type, subprogram_id, overload)
VALUES
  ('HR', 'ANNUAL_REVIEW', NULL, 'PROCEDURE', 1, NULL),
  ('HR', 'REVIEW_ALL', NULL, 'PROCEDURE', 1, NULL),
  ('HR', 'ADD_JOB_HISTORY', NULL, 'PROCEDURE', 1, NULL);

INSERT INTO dba_arguments
  (owner, package_name, object_name, overload, argument_name, position, sequence, data_level,
   data_type, in_out, default_value, defaulted)
VALUES
  ('HR', NULL, 'ANNUAL_REVIEW', NULL, 'P_EMPLOYEE_ID', 1, 1, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', NULL, 'ADD_JOB_HISTORY', NULL, 'P_EMP_ID', 1, 1, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', NULL, 'ADD_JOB_HISTORY', NULL, 'P_START_DATE', 2, 2, 0, 'DATE', 'IN', NULL, 'N'),
  ('HR', NULL, 'ADD_JOB_HISTORY', NULL, 'P_END_DATE', 3, 3, 0, 'DATE', 'IN', NULL, 'N'),
  ('HR', NULL, 'ADD_JOB_HISTORY', NULL, 'P_JOB_ID', 4, 4, 0, 'VARCHAR2', 'IN', NULL, 'N'),
  ('HR', NULL, 'ADD_JOB_HISTORY', NULL, 'P_DEPARTMENT_ID', 5, 5, 0, 'NUMBER', 'IN', NULL, 'N');

INSERT INTO dba_triggers
  (owner, trigger_name, trigger_type, triggering_event, table_owner, base_object_type,
   table_name, column_name, referencing_names, when_clause, status, description, action_type,
   trigger_body)
VALUES
  ('HR', 'SECURE_EMPLOYEES', 'BEFORE STATEMENT', 'INSERT OR UPDATE OR DELETE', 'HR', 'TABLE',
   'EMPLOYEES', NULL, 'REFERENCING NEW AS NEW OLD AS OLD', NULL, 'DISABLED',
   'secure_employees
  BEFORE INSERT OR UPDATE OR DELETE ON employees
', 'PL/SQL     ', 'BEGIN
  check_working_hours;
END secure_employees;'),
  ('HR', 'UPDATE_JOB_HISTORY', 'AFTER EACH ROW', 'UPDATE', 'HR', 'TABLE', 'EMPLOYEES', NULL,
   'REFERENCING NEW AS NEW OLD AS OLD', NULL, 'ENABLED',
   'update_job_history
  AFTER UPDATE OF job_id, department_id ON employees
  FOR EACH ROW
', 'PL/SQL     ', '/**
 * Keeps the job history: when an employee changes job or department, the job held
 * until today is recorded with {@link ADD_JOB_HISTORY}.
 */
BEGIN
  add_job_history(:old.employee_id, :old.hire_date, sysdate,
                  :old.job_id, :old.department_id);
END;'),
  ('HR', 'EMP_DETAILS_VIEW_UPDATE', 'INSTEAD OF', 'UPDATE', 'HR', 'VIEW', 'EMP_DETAILS_VIEW',
   NULL, 'REFERENCING NEW AS NEW OLD AS OLD', NULL, 'ENABLED',
   'emp_details_view_update
  INSTEAD OF UPDATE OF first_name, last_name ON emp_details_view
  FOR EACH ROW
', 'PL/SQL     ', 'BEGIN
  -- Renames the employee; the other columns of the view are not for changing here.

  UPDATE employees
     SET first_name = :new.first_name, last_name = :new.last_name
   WHERE employee_id = :old.employee_id;
END;');

INSERT INTO dba_dependencies
  (owner, name, type, referenced_owner, referenced_name, referenced_type, dependency_type)
VALUES
  ('HR', 'EMP_DETAILS_VIEW', 'VIEW', 'HR', 'DEPARTMENTS', 'TABLE', 'HARD'),
  ('HR', 'EMP_DETAILS_VIEW', 'VIEW', 'HR', 'EMPLOYEES', 'TABLE', 'HARD'),
  ('HR', 'EMP_DETAILS_VIEW', 'VIEW', 'HR', 'JOBS', 'TABLE', 'HARD'),
  ('HR', 'EMP_DETAILS_VIEW', 'VIEW', 'HR', 'LOCATIONS', 'TABLE', 'HARD'),
  ('HR', 'DEPARTMENT_HEADCOUNT', 'VIEW', 'HR', 'EMPLOYEES', 'TABLE', 'HARD'),
  ('HR', 'EMP_BONUS_VIEW', 'VIEW', 'HR', 'EMPLOYEES', 'TABLE', 'HARD'),
  ('HR', 'GET_EMPLOYEE_NAME', 'FUNCTION', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('HR', 'GET_EMPLOYEE_NAME', 'FUNCTION', 'HR', 'EMPLOYEES', 'TABLE', 'HARD'),
  ('HR', 'RAISE_SALARY', 'PROCEDURE', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('HR', 'RAISE_SALARY', 'PROCEDURE', 'HR', 'EMPLOYEES', 'TABLE', 'HARD'),
  ('HR', 'RAISE_SALARY', 'PROCEDURE', 'HR', 'JOBS', 'TABLE', 'HARD'),
  ('HR', 'YEARS_OF_SERVICE', 'FUNCTION', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('HR', 'YEARS_OF_SERVICE', 'FUNCTION', 'HR', 'EMPLOYEES', 'TABLE', 'HARD'),
  ('HR', 'CHECK_WORKING_HOURS', 'PROCEDURE', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('HR', 'CHECK_WORKING_HOURS', 'PROCEDURE', 'SYS', 'DBMS_STANDARD', 'PACKAGE', 'HARD'),
  ('HR', 'ANNUAL_REVIEW', 'PROCEDURE', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('HR', 'ANNUAL_REVIEW', 'PROCEDURE', 'HR', 'YEARS_OF_SERVICE', 'FUNCTION', 'HARD'),
  ('HR', 'ANNUAL_REVIEW', 'PROCEDURE', 'HR', 'RAISE_SALARY', 'PROCEDURE', 'HARD'),
  ('HR', 'REVIEW_ALL', 'PROCEDURE', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('HR', 'REVIEW_ALL', 'PROCEDURE', 'HR', 'EMPLOYEES', 'TABLE', 'HARD'),
  ('HR', 'REVIEW_ALL', 'PROCEDURE', 'HR', 'ANNUAL_REVIEW', 'PROCEDURE', 'HARD'),
  ('HR', 'ADD_JOB_HISTORY', 'PROCEDURE', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('HR', 'ADD_JOB_HISTORY', 'PROCEDURE', 'HR', 'JOB_HISTORY', 'TABLE', 'HARD'),
  ('HR', 'EMP_MGMT', 'PACKAGE', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('HR', 'EMP_MGMT', 'PACKAGE BODY', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('HR', 'EMP_MGMT', 'PACKAGE BODY', 'HR', 'EMP_MGMT', 'PACKAGE', 'HARD'),
  ('HR', 'EMP_MGMT', 'PACKAGE BODY', 'HR', 'EMPLOYEES', 'TABLE', 'HARD'),
  ('HR', 'EMP_MGMT', 'PACKAGE BODY', 'HR', 'EMPLOYEES_SEQ', 'SEQUENCE', 'HARD'),
  ('HR', 'EMP_MGMT', 'PACKAGE BODY', 'PUBLIC', 'DBMS_OUTPUT', 'SYNONYM', 'HARD'),
  ('HR', 'EMP_MGMT', 'PACKAGE BODY', 'SYS', 'DBMS_OUTPUT', 'PACKAGE', 'HARD'),
  ('HR', 'HR_UTIL', 'PACKAGE', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('HR', 'LEAVE_API', 'PACKAGE', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('HR', 'LEAVE_API', 'PACKAGE BODY', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('HR', 'LEAVE_API', 'PACKAGE BODY', 'HR', 'LEAVE_API', 'PACKAGE', 'HARD'),
  ('HR', 'LEAVE_API', 'PACKAGE BODY', 'HR', 'EMPLOYEES', 'TABLE', 'HARD'),
  ('HR', 'LEAVE_API', 'PACKAGE BODY', 'HR', 'EMPLOYEES_SEQ', 'SEQUENCE', 'HARD'),
  ('HR', 'LEAVE_API', 'PACKAGE BODY', 'PUBLIC', 'DBMS_OUTPUT', 'SYNONYM', 'HARD'),
  ('HR', 'LEAVE_API', 'PACKAGE BODY', 'SYS', 'DBMS_OUTPUT', 'PACKAGE', 'HARD'),
  ('HR', 'SECURE_EMPLOYEES', 'TRIGGER', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('HR', 'SECURE_EMPLOYEES', 'TRIGGER', 'HR', 'EMPLOYEES', 'TABLE', 'HARD'),
  ('HR', 'SECURE_EMPLOYEES', 'TRIGGER', 'HR', 'CHECK_WORKING_HOURS', 'PROCEDURE', 'HARD'),
  ('HR', 'UPDATE_JOB_HISTORY', 'TRIGGER', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('HR', 'UPDATE_JOB_HISTORY', 'TRIGGER', 'HR', 'EMPLOYEES', 'TABLE', 'HARD'),
  ('HR', 'UPDATE_JOB_HISTORY', 'TRIGGER', 'HR', 'ADD_JOB_HISTORY', 'PROCEDURE', 'HARD'),
  ('HR', 'EMP_DETAILS_VIEW_UPDATE', 'TRIGGER', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('HR', 'EMP_DETAILS_VIEW_UPDATE', 'TRIGGER', 'HR', 'EMP_DETAILS_VIEW', 'VIEW', 'HARD'),
  ('HR', 'EMP_DETAILS_VIEW_UPDATE', 'TRIGGER', 'HR', 'EMPLOYEES', 'TABLE', 'HARD'),
  ('PAYROLL', 'CURRENT_PAYSLIPS', 'VIEW', 'PAYROLL', 'PAYSLIPS', 'TABLE', 'HARD'),
  ('PAYROLL', 'NET_PAY', 'FUNCTION', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('PAYROLL', 'SALARY_CALC', 'PACKAGE', 'SYS', 'STANDARD', 'PACKAGE', 'HARD');

-- Every object once, as ALL_OBJECTS lists it, with the times of the sample's creation.
INSERT INTO dba_objects (owner, object_name, object_type, status, created, last_ddl_time)
SELECT owner, name, type, 'VALID', '2024-03-14 09:12:40', '2024-05-21 16:03:11' FROM (
  SELECT owner, table_name AS name, 'TABLE' AS type FROM dba_tables
  UNION SELECT owner, view_name, 'VIEW' FROM dba_views
  UNION SELECT sequence_owner, sequence_name, 'SEQUENCE' FROM dba_sequences
  UNION SELECT owner, index_name, 'INDEX' FROM dba_indexes
  UNION SELECT owner, synonym_name, 'SYNONYM' FROM dba_synonyms
  UNION SELECT owner, name, type FROM dba_source
  UNION SELECT owner, trigger_name, 'TRIGGER' FROM dba_triggers)
ORDER BY owner, name, type;
UPDATE dba_objects SET status = 'INVALID', last_ddl_time = '2024-06-03 11:45:02'
 WHERE owner = 'HR' AND object_name = 'EMP_BONUS_VIEW';
-- LEAVE_API's body calls DAYS_LEFT with two arguments where it declares one: it does not
-- compile, while its specification does.
UPDATE dba_objects SET status = 'INVALID', last_ddl_time = '2024-06-03 11:45:02'
 WHERE owner = 'HR' AND object_name = 'LEAVE_API' AND object_type = 'PACKAGE BODY';
