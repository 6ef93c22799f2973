-- Example database for the demo and the end-to-end tests; the build turns it into build/examples/invoices.sqlite.
-- Edit the text here, never the built database.
CREATE TABLE customers (
  id      INTEGER PRIMARY KEY,
  name    TEXT NOT NULL,
  city    TEXT,
  country TEXT
);

CREATE TABLE invoices (
  id          INTEGER PRIMARY KEY,
  customer_id INTEGER NOT NULL REFERENCES customers(id),
  issued      TEXT NOT NULL,   -- ISO date
  amount      REAL NOT NULL,
  paid        INTEGER NOT NULL DEFAULT 0,
  note        TEXT             -- NULL when there is none
);

CREATE TABLE attachments (
  invoice_id INTEGER NOT NULL REFERENCES invoices(id),
  name       TEXT NOT NULL,
  content    BLOB
);

INSERT INTO customers (id, name, city, country) VALUES
  (1, 'Acme Tools', 'Berlin', 'DE'),
  (2, 'Brightwater Ltd', 'Leeds', 'GB'),
  (3, 'Café Lumière', 'Lyon', 'FR'),
  (4, 'Delta' || char(9) || 'Supplies', 'Denver', 'US'),
  (5, 'Evergreen Farms', NULL, 'NZ');

INSERT INTO invoices (id, customer_id, issued, amount, paid, note) VALUES
  (1001, 1, '2026-01-15', 1250.00, 1, NULL),
  (1002, 1, '2026-02-15', 980.5, 1, 'discount applied'),
  (1003, 2, '2026-02-20', 1.5, 0, NULL),
  (1004, 3, '2026-03-01', 4300.75, 0, 'second reminder sent'),
  (1005, 4, '2026-03-10', 89.99, 1, NULL),
  (1006, 2, '2026-04-02', 15000, 0, 'payment plan' || char(13) || '3 instalments');

INSERT INTO attachments (invoice_id, name, content) VALUES
  (1004, 'reminder.txt', CAST('Please pay.' AS BLOB));
