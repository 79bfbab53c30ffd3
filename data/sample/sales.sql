-- Sample dictionary SALES: the order entry schema SALES, a second database for projects
-- that span two databases. Run on an empty snapshot (schema and indexes already created).

INSERT INTO dba_users (username, password_sha256) VALUES
  ('SALES', 'e04eb29020eaa961e99d3162635e9fe9585c5a1121bd88784c1378aa8837195c');  -- sales

INSERT INTO dba_tables (owner, table_name) VALUES
  ('SALES', 'CUSTOMERS'), ('SALES', 'ORDERS'), ('SALES', 'ORDER_ITEMS');

-- CUSTOMER_NAME counts characters (VARCHAR2(60 CHAR), up to 240 bytes); the money columns
-- have two decimals; SHIPPED_AT's type and the purchase order column's name are longer than
-- the text document's columns.
INSERT INTO dba_tab_columns
  (owner, table_name, column_name, column_id, data_type, data_length, data_precision, nullable,
   data_scale, char_length, char_used)
VALUES
  ('SALES', 'CUSTOMERS', 'CUSTOMER_ID', 1, 'NUMBER', 22, 8, 'N', 0, 0, NULL),
  ('SALES', 'CUSTOMERS', 'CUSTOMER_NAME', 2, 'VARCHAR2', 240, NULL, 'N', NULL, 60, 'C'),
  ('SALES', 'CUSTOMERS', 'CREDIT_LIMIT', 3, 'NUMBER', 22, 9, 'Y', 2, 0, NULL),
  ('SALES', 'CUSTOMERS', 'CREATED', 4, 'DATE', 7, NULL, 'N', NULL, 0, NULL),
  ('SALES', 'ORDERS', 'ORDER_ID', 1, 'NUMBER', 22, 10, 'N', 0, 0, NULL),
  ('SALES', 'ORDERS', 'CUSTOMER_ID', 2, 'NUMBER', 22, 8, 'N', 0, 0, NULL),
  ('SALES', 'ORDERS', 'ORDER_DATE', 3, 'DATE', 7, NULL, 'N', NULL, 0, NULL),
  ('SALES', 'ORDERS', 'STATUS', 4, 'VARCHAR2', 10, NULL, 'N', NULL, 10, 'B'),
  ('SALES', 'ORDERS', 'SHIPPED_AT', 5, 'TIMESTAMP(6) WITH TIME ZONE', 13, NULL, 'Y', 6, 0, NULL),
  ('SALES', 'ORDERS', 'CUSTOMER_PURCHASE_ORDER_REFERENCE', 6, 'VARCHAR2', 40, NULL, 'Y',
   NULL, 40, 'B'),
  ('SALES', 'ORDER_ITEMS', 'ORDER_ID', 1, 'NUMBER', 22, 10, 'N', 0, 0, NULL),
  ('SALES', 'ORDER_ITEMS', 'LINE_ITEM_ID', 2, 'NUMBER', 22, 3, 'N', 0, 0, NULL),
  ('SALES', 'ORDER_ITEMS', 'PRODUCT_CODE', 3, 'VARCHAR2', 20, NULL, 'N', NULL, 20, 'B'),
  ('SALES', 'ORDER_ITEMS', 'QUANTITY', 4, 'NUMBER', 22, 8, 'N', 0, 0, NULL),
  ('SALES', 'ORDER_ITEMS', 'UNIT_PRICE', 5, 'NUMBER', 22, 8, 'Y', 2, 0, NULL);

INSERT INTO dba_tab_comments (owner, table_name, table_type, comments) VALUES
  ('SALES', 'CUSTOMERS', 'TABLE', 'Customers who have placed at least one order.'),
  ('SALES', 'ORDERS', 'TABLE', 'Orders, one row per order.'),
  ('SALES', 'ORDER_ITEMS', 'TABLE', 'Lines of an order.'),
  ('SALES', 'OPEN_ORDERS', 'VIEW', 'Orders not yet shipped.');
INSERT INTO dba_col_comments (owner, table_name, column_name, comments)
  SELECT owner, table_name, column_name, NULL FROM dba_tab_columns;
UPDATE dba_col_comments SET comments = CASE table_name || '.' || column_name
  WHEN 'CUSTOMERS.CUSTOMER_ID' THEN 'Primary key of customers.'
  WHEN 'CUSTOMERS.CREDIT_LIMIT' THEN 'Largest open order total allowed, in euros.'
  WHEN 'ORDERS.STATUS' THEN 'NEW, SHIPPED or CANCELLED.'
  WHEN 'ORDERS.SHIPPED_AT' THEN 'When the order left the warehouse, in its time zone.'
  WHEN 'ORDERS.CUSTOMER_PURCHASE_ORDER_REFERENCE' THEN 'The customer''s own order number.'
  WHEN 'ORDER_ITEMS.QUANTITY' THEN 'Number of units ordered.'
  END;

INSERT INTO dba_constraints
  (owner, constraint_name, constraint_type, table_name, r_owner, r_constraint_name)
VALUES
  ('SALES', 'CUSTOMERS_PK', 'P', 'CUSTOMERS', NULL, NULL),
  ('SALES', 'ORDERS_PK', 'P', 'ORDERS', NULL, NULL),
  ('SALES', 'ORDERS_CUSTOMER_FK', 'R', 'ORDERS', 'SALES', 'CUSTOMERS_PK'),
  ('SALES', 'ORDER_ITEMS_PK', 'P', 'ORDER_ITEMS', NULL, NULL),
  ('SALES', 'ORDER_ITEMS_ORDER_FK', 'R', 'ORDER_ITEMS', 'SALES', 'ORDERS_PK'),
  ('SALES', 'ORDER_ITEMS_PRODUCT_UK', 'U', 'ORDER_ITEMS', NULL, NULL);
INSERT INTO dba_cons_columns (owner, constraint_name, table_name, column_name, position) VALUES
  ('SALES', 'CUSTOMERS_PK', 'CUSTOMERS', 'CUSTOMER_ID', 1),
  ('SALES', 'ORDERS_PK', 'ORDERS', 'ORDER_ID', 1),
  ('SALES', 'ORDERS_CUSTOMER_FK', 'ORDERS', 'CUSTOMER_ID', 1),
  ('SALES', 'ORDER_ITEMS_PK', 'ORDER_ITEMS', 'ORDER_ID', 1),
  ('SALES', 'ORDER_ITEMS_PK', 'ORDER_ITEMS', 'LINE_ITEM_ID', 2),
  ('SALES', 'ORDER_ITEMS_ORDER_FK', 'ORDER_ITEMS', 'ORDER_ID', 1),
  ('SALES', 'ORDER_ITEMS_PRODUCT_UK', 'ORDER_ITEMS', 'ORDER_ID', 1),
  ('SALES', 'ORDER_ITEMS_PRODUCT_UK', 'ORDER_ITEMS', 'PRODUCT_CODE', 2);

INSERT INTO dba_indexes (owner, index_name, table_owner, table_name) VALUES
  ('SALES', 'CUSTOMERS_PK', 'SALES', 'CUSTOMERS'),
  ('SALES', 'ORDERS_PK', 'SALES', 'ORDERS'),
  ('SALES', 'ORDERS_CUSTOMER_IX', 'SALES', 'ORDERS'),
  ('SALES', 'ORDER_ITEMS_PK', 'SALES', 'ORDER_ITEMS'),
  ('SALES', 'ORDER_ITEMS_PRODUCT_UK', 'SALES', 'ORDER_ITEMS'),
  ('SALES', 'ORDER_ITEMS_PRODUCT_CODE_IX', 'SALES', 'ORDER_ITEMS');
INSERT INTO dba_ind_columns
  (index_owner, index_name, table_owner, table_name, column_name, column_position)
VALUES
  ('SALES', 'CUSTOMERS_PK', 'SALES', 'CUSTOMERS', 'CUSTOMER_ID', 1),
  ('SALES', 'ORDERS_PK', 'SALES', 'ORDERS', 'ORDER_ID', 1),
  ('SALES', 'ORDERS_CUSTOMER_IX', 'SALES', 'ORDERS', 'CUSTOMER_ID', 1),
  ('SALES', 'ORDERS_CUSTOMER_IX', 'SALES', 'ORDERS', 'ORDER_DATE', 2),
  ('SALES', 'ORDER_ITEMS_PK', 'SALES', 'ORDER_ITEMS', 'ORDER_ID', 1),
  ('SALES', 'ORDER_ITEMS_PK', 'SALES', 'ORDER_ITEMS', 'LINE_ITEM_ID', 2),
  ('SALES', 'ORDER_ITEMS_PRODUCT_UK', 'SALES', 'ORDER_ITEMS', 'ORDER_ID', 1),
  ('SALES', 'ORDER_ITEMS_PRODUCT_UK', 'SALES', 'ORDER_ITEMS', 'PRODUCT_CODE', 2),
  ('SALES', 'ORDER_ITEMS_PRODUCT_CODE_IX', 'SALES', 'ORDER_ITEMS', 'PRODUCT_CODE', 1);

INSERT INTO dba_synonyms (owner, synonym_name, table_owner, table_name) VALUES
  ('PUBLIC', 'CUSTOMERS', 'SALES', 'CUSTOMERS');
INSERT INTO dba_sequences (sequence_owner, sequence_name) VALUES
  ('SALES', 'CUSTOMERS_SEQ'), ('SALES', 'ORDERS_SEQ');
INSERT INTO dba_tab_privs (owner, table_name, grantor, grantee, privilege) VALUES
  ('SALES', 'ORDERS', 'SALES', 'REPORTING', 'SELECT'),
  ('SALES', 'CUSTOMERS', 'SALES', 'REPORTING', 'SELECT'),
  ('SALES', 'ORDERS', 'SALES', 'WAREHOUSE', 'UPDATE');

INSERT INTO dba_views (owner, view_name, text) VALUES
  ('SALES', 'OPEN_ORDERS', 'SELECT o.order_id, c.customer_name, o.order_date
  FROM orders o JOIN customers c ON c.customer_id = o.customer_id
 WHERE o.status = ''NEW''
');

INSERT INTO dba_source (owner, name, type, line, text) VALUES
  ('SALES', 'CLOSE_ORDER', 'PROCEDURE', 1, 'PROCEDURE close_order (p_order_id IN NUMBER)' || char(10)),
  ('SALES', 'CLOSE_ORDER', 'PROCEDURE', 2, '/*' || char(10)),
  ('SALES', 'CLOSE_ORDER', 'PROCEDURE', 3, '<FD>' || char(10)),
  ('SALES', 'CLOSE_ORDER', 'PROCEDURE', 4, 'Description:' || char(10)),
  ('SALES', 'CLOSE_ORDER', 'PROCEDURE', 5, '  Marks an order as shipped.' || char(10)),
  ('SALES', 'CLOSE_ORDER', 'PROCEDURE', 6, 'Parameters:' || char(10)),
  ('SALES', 'CLOSE_ORDER', 'PROCEDURE', 7, '  p_order_id, NUMBER:' || char(10)),
  ('SALES', 'CLOSE_ORDER', 'PROCEDURE', 8, '  Number of the order;' || char(10)),
  ('SALES', 'CLOSE_ORDER', 'PROCEDURE', 9, '</FD>' || char(10)),
  ('SALES', 'CLOSE_ORDER', 'PROCEDURE', 10, '*/' || char(10)),
  ('SALES', 'CLOSE_ORDER', 'PROCEDURE', 11, 'IS' || char(10)),
  ('SALES', 'CLOSE_ORDER', 'PROCEDURE', 12, 'BEGIN' || char(10)),
  ('SALES', 'CLOSE_ORDER', 'PROCEDURE', 13, '  UPDATE orders SET status = ''SHIPPED'' WHERE order_id = p_order_id;' || char(10)),
  ('SALES', 'CLOSE_ORDER', 'PROCEDURE', 14, 'END close_order;');

-- What the modern documents read as well: index uniqueness and order, the arguments.
UPDATE dba_indexes SET uniqueness = CASE
  WHEN index_name LIKE '%\_PK' ESCAPE '\' OR index_name LIKE '%\_UK' ESCAPE '\'
  THEN 'UNIQUE' ELSE 'NONUNIQUE' END;
UPDATE dba_ind_columns SET descend = 'ASC';
UPDATE dba_ind_columns SET descend = 'DESC'
  WHERE index_owner = 'SALES' AND index_name = 'ORDERS_CUSTOMER_IX' AND column_name = 'ORDER_DATE';
INSERT INTO dba_arguments
  (owner, package_name, object_name, overload, argument_name, position, sequence, data_level,
   data_type, in_out, default_value, defaulted)
VALUES
  ('SALES', NULL, 'CLOSE_ORDER', NULL, 'P_ORDER_ID', 1, 1, 0, 'NUMBER', 'IN', NULL, 'N');
INSERT INTO dba_procedures
  (owner, object_name, procedure_name, object_type, subprogram_id, overload)
VALUES
  ('SALES', 'CLOSE_ORDER', NULL, 'PROCEDURE', 1, NULL);
