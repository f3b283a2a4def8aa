-- The prepared task database (av.cfg): the queue and the history of conversions, and the
-- categories of the history. `sqlite3 av.cfg < av.sql` makes it. The install step then sets the
-- root category's Path to the user's output folder ($HOME/Conversion).
BEGIN TRANSACTION;

CREATE TABLE Conversions (
  ID integer PRIMARY KEY AUTOINCREMENT,
  Converting integer NOT NULL DEFAULT 1,
  ConvertSettings memo,
  ConvertedDate datetime,
  CategoryId integer,
  Log memo
);

CREATE TABLE Categories (
  ID integer PRIMARY KEY AUTOINCREMENT,
  Category varchar(255) NOT NULL,
  Path varchar(4096),
  Parent integer NOT NULL DEFAULT -1
);

CREATE INDEX ConversionsByCategory ON Conversions (Converting, CategoryId, ConvertedDate);

-- The root category of the history: it cannot be deleted, and finished conversions whose
-- category is gone are filed under it.
INSERT INTO Categories (ID, Category, Path, Parent) VALUES (1, 'Converted', 'Conversion', -1);

COMMIT;
