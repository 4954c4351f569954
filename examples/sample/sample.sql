-- Marrowfield Trading: a small wholesaler of pantry goods and kitchenware
-- selling to shops and cafés. The sample data of the Brindle examples; the
-- build turns this script into sample.sqlite (see README.md).
--
-- Dates are ISO text ('YYYY-MM-DD'), so they sort and compare as text.
-- Customers.AccountManagerID and Orders.EmployeeID both lead from a sale to
-- the staff, which gives the join between them two routes.
--
-- Booleans are written TRUE and FALSE, which SQLite stores as 1 and 0 and
-- PostgreSQL takes as they stand, so the test server loads this script too.

CREATE TABLE Categories (
  CategoryID   INTEGER NOT NULL,
  CategoryName VARCHAR(30) NOT NULL,
  Description  VARCHAR(80),
  PRIMARY KEY (CategoryID)
);

CREATE TABLE Suppliers (
  SupplierID  INTEGER NOT NULL,
  CompanyName VARCHAR(40) NOT NULL,
  ContactName VARCHAR(30),
  City        VARCHAR(20),
  Country     VARCHAR(20),
  Phone       VARCHAR(20),
  PRIMARY KEY (SupplierID)
);

CREATE TABLE Products (
  ProductID       INTEGER NOT NULL,
  ProductName     VARCHAR(40) NOT NULL,
  SupplierID      INTEGER NOT NULL,
  CategoryID      INTEGER,
  QuantityPerUnit VARCHAR(20),
  "Unit Price"    REAL NOT NULL,
  UnitsInStock    INTEGER NOT NULL,
  Discontinued    BOOLEAN NOT NULL DEFAULT FALSE,
  PRIMARY KEY (ProductID),
  FOREIGN KEY (SupplierID) REFERENCES Suppliers (SupplierID),
  FOREIGN KEY (CategoryID) REFERENCES Categories (CategoryID)
);

CREATE TABLE Employees (
  EmployeeID INTEGER NOT NULL,
  LastName   VARCHAR(20) NOT NULL,
  FirstName  VARCHAR(20) NOT NULL,
  Title      VARCHAR(30),
  ManagerID  INTEGER,
  BirthDate  DATE,
  HireDate   DATE NOT NULL,
  City       VARCHAR(20),
  PRIMARY KEY (EmployeeID),
  FOREIGN KEY (ManagerID) REFERENCES Employees (EmployeeID)
);

CREATE TABLE Customers (
  CustomerID       INTEGER NOT NULL,
  CompanyName      VARCHAR(40) NOT NULL,
  ContactName      VARCHAR(30),
  City             VARCHAR(20),
  Country          VARCHAR(20),
  Phone            VARCHAR(20),
  AccountManagerID INTEGER NOT NULL,
  PRIMARY KEY (CustomerID),
  FOREIGN KEY (AccountManagerID) REFERENCES Employees (EmployeeID)
);

CREATE TABLE Shippers (
  ShipperID   INTEGER NOT NULL,
  CompanyName VARCHAR(40) NOT NULL,
  Phone       VARCHAR(20),
  PRIMARY KEY (ShipperID)
);

-- Status: 'N' new, 'S' shipped, 'C' cancelled. EnteredAt is when the order
-- was keyed in, which may be the evening before its order date.
CREATE TABLE Orders (
  OrderID         INTEGER NOT NULL,
  CustomerID      INTEGER NOT NULL,
  EmployeeID      INTEGER NOT NULL,
  "Order Date"    DATE NOT NULL,
  "Required Date" DATE,
  ShippedDate     DATE,
  ShipperID       INTEGER,
  Freight         REAL,
  Status          VARCHAR(1) NOT NULL,
  EnteredAt       DATETIME NOT NULL,
  PRIMARY KEY (OrderID),
  FOREIGN KEY (CustomerID) REFERENCES Customers (CustomerID),
  FOREIGN KEY (EmployeeID) REFERENCES Employees (EmployeeID),
  FOREIGN KEY (ShipperID) REFERENCES Shippers (ShipperID)
);

CREATE TABLE "Order Details" (
  OrderID      INTEGER NOT NULL,
  ProductID    INTEGER NOT NULL,
  "Unit Price" REAL NOT NULL,
  Quantity     INTEGER NOT NULL,
  Discount     REAL NOT NULL DEFAULT 0,
  PRIMARY KEY (OrderID, ProductID),
  FOREIGN KEY (OrderID) REFERENCES Orders (OrderID),
  FOREIGN KEY (ProductID) REFERENCES Products (ProductID)
);

INSERT INTO Categories (CategoryID, CategoryName, Description) VALUES
  (1, 'Teas & Infusions', 'Loose-leaf teas and herbal blends'),
  (2, 'Coffee', 'Whole beans and ground coffee'),
  (3, 'Preserves', 'Jams, marmalades and chutneys; no artificial pectin'),
  (4, 'Grains & Pasta', 'Rice, flour and dried pasta'),
  (5, 'Oils & Vinegars', NULL),
  (6, 'Spices', 'Whole and ground spices'),
  (7, 'Confectionery', 'Chocolate, marzipan and biscuits'),
  (8, 'Kitchenware', 'Jars, tins and small tools');

INSERT INTO Suppliers (SupplierID, CompanyName, ContactName, City, Country, Phone) VALUES
  (1, 'Hollin Tea Gardens', 'Priya Ramaswamy', 'Kandy', 'Sri Lanka', '+94 81 555 0190'),
  (2, 'Brasa Torrefacção', 'Joaquim Brás', 'Porto', 'Portugal', '+351 22 555 0117'),
  (3, 'Kettleby Preserves', 'Agnes Kettleby', 'York', 'United Kingdom', '+44 1904 555 031'),
  (4, 'Molino Ferrante', 'Chiara Ferrante', 'Bologna', 'Italy', '+39 051 555 0166'),
  (5, 'Almazara Quiñones', 'Rocío Quiñones', 'Jaén', 'Spain', NULL),
  (6, 'Mwinyi Spice Traders', 'Amani Mwinyi', 'Stone Town', 'Tanzania', '+255 24 555 0108'),
  (7, 'Schokoladenhaus Fröhlich', 'Jörg Fröhlich', 'Dresden', 'Germany', '+49 351 555 0143'),
  (8, 'Tinplate & Thistle', 'Callum Baird', 'Dundee', 'United Kingdom', '+44 1382 555 072');

-- Three discontinued lines; the gift hamper tin belongs to no category.
INSERT INTO Products (ProductID, ProductName, SupplierID, CategoryID, QuantityPerUnit, "Unit Price", UnitsInStock, Discontinued) VALUES
  (1, 'Highland Breakfast Tea', 1, 1, '20 x 100 g', 6.5, 120, FALSE),
  (2, 'Kandy Green Tea', 1, 1, '20 x 100 g', 7.25, 80, FALSE),
  (3, 'Chamomile Blend', 1, 1, '12 x 50 g', 4.8, 0, TRUE),
  (4, 'Douro Dark Roast', 2, 2, '10 x 250 g', 9.9, 60, FALSE),
  (5, 'Ribeira Espresso Beans', 2, 2, '6 x 1 kg', 24.0, 35, FALSE),
  (6, 'Seville Orange Marmalade', 3, 3, '12 x 340 g', 3.95, 140, FALSE),
  (7, 'Damson Jam', 3, 3, '12 x 340 g', 4.1, 90, FALSE),
  (8, 'Apple & Ale Chutney', 3, 3, '12 x 300 g', 4.4, 0, TRUE),
  (9, 'Bronze-Cut Rigatoni', 4, 4, '12 x 500 g', 2.75, 200, FALSE),
  (10, 'Stone-Ground Spelt Flour', 4, 4, '10 x 1 kg', 3.2, 75, FALSE),
  (11, 'Arborio Rice', 4, 4, '10 x 1 kg', 3.6, 110, FALSE),
  (12, 'Picual Olive Oil', 5, 5, '6 x 750 ml', 11.5, 48, FALSE),
  (13, 'Sherry Vinegar', 5, 5, '6 x 500 ml', 6.2, 30, FALSE),
  (14, 'Whole Cloves', 6, 6, '24 x 40 g', 2.3, 160, FALSE),
  (15, 'Green Cardamom', 6, 6, '24 x 40 g', 3.85, 95, FALSE),
  (16, 'Vanilla Pods', 6, 6, '10 x 3 pods', 8.75, 22, FALSE),
  (17, 'Dark Chocolate Thins', 7, 7, '16 x 100 g', 2.95, 130, FALSE),
  (18, 'Marzipan Bars', 7, 7, '20 x 75 g', 1.9, 0, TRUE),
  (19, 'Swing-Top Storage Jar', 8, 8, '6 x 1 l', 5.4, 40, FALSE),
  (20, 'Gift Hamper Tin', 8, NULL, '1 tin', 14.0, 15, FALSE);

-- Three levels: the managing director, two sales managers, five representatives.
INSERT INTO Employees (EmployeeID, LastName, FirstName, Title, ManagerID, BirthDate, HireDate, City) VALUES
  (1, 'Ashdown', 'Margaret', 'Managing Director', NULL, '1968-04-12', '2012-03-01', 'York'),
  (2, 'Okafor', 'Daniel', 'Sales Manager, Home', 1, '1979-09-23', '2015-06-15', 'Leeds'),
  (3, 'Lindqvist', 'Åsa', 'Sales Manager, Europe', 1, '1982-01-30', '2016-02-01', 'York'),
  (4, 'Brennan', 'Siobhán', 'Sales Representative', 2, '1990-07-08', '2019-09-02', 'Leeds'),
  (5, 'Halvorsen', 'Tobias', 'Sales Representative', 2, NULL, '2020-01-13', 'Leeds'),
  (6, 'Moreau', 'Inès', 'Sales Representative', 3, '1993-11-19', '2021-04-06', 'York'),
  (7, 'Novák', 'Jiří', 'Sales Representative', 3, '1987-05-02', '2018-10-22', 'York'),
  (8, 'Patel', 'Ravi', 'Sales Representative', 3, '1995-03-14', '2022-08-01', 'York');

-- Each customer is looked after by one of the two sales managers.
INSERT INTO Customers (CustomerID, CompanyName, ContactName, City, Country, Phone, AccountManagerID) VALUES
  (1, 'Dunmore''s Pantry', 'Ciarán O''Meara', 'Galway', 'Ireland', '+353 91 555 0142', 2),
  (2, 'The Copper Kettle', 'Harriet Voss', 'Bath', 'United Kingdom', '+44 1225 555 018', 2),
  (3, 'Bäckerei Sonnleitner', 'Theresia Sonnleitner', 'Graz', 'Austria', '+43 316 555 0127', 3),
  (4, 'Søndergaard Delikatesser', 'Mikkel Søndergaard', 'Aarhus', 'Denmark', '+45 86 55 50 19', 3),
  (5, 'Northgate Larder', 'Oliver Pryce', 'Leeds', 'United Kingdom', NULL, 2),
  (6, 'Café Lumière', 'Élodie Marchand', 'Lyon', 'France', '+33 4 55 50 01 63', 3),
  (7, 'Saffron & Sage', 'Nadia Karim', 'Manchester', 'United Kingdom', '+44 161 555 0104', 2),
  (8, 'Tienda Peñalba', 'Lucía Peñalba', 'Zaragoza', 'Spain', '+34 976 555 021', 3),
  (9, 'Harbourside Deli', 'Gwen Tremayne', 'Falmouth', 'United Kingdom', '+44 1326 555 066', 2),
  (10, 'Bistro U Lípy', 'Tereza Dvořáková', 'Brno', 'Czechia', NULL, 3);

INSERT INTO Shippers (ShipperID, CompanyName, Phone) VALUES
  (1, 'Swiftwing Freight', '+44 113 555 0100'),
  (2, 'Harbour Line Carriers', '+44 1904 555 077'),
  (3, 'Pennine Parcel Co.', NULL);

-- Orders 38 to 40 are not shipped yet; order 17 was cancelled.
INSERT INTO Orders (OrderID, CustomerID, EmployeeID, "Order Date", "Required Date", ShippedDate, ShipperID, Freight, Status, EnteredAt) VALUES
  (1, 8, 6, '2023-01-14', '2023-01-28', '2023-01-17', 2, 20.8, 'S', '2023-01-13 08:53:17'),
  (2, 5, 5, '2023-01-30', '2023-02-13', '2023-02-03', 3, 35.6, 'S', '2023-01-30 09:46:34'),
  (3, 2, 5, '2023-02-15', '2023-03-01', '2023-02-20', 1, 14.4, 'S', '2023-02-14 10:39:51'),
  (4, 9, 4, '2023-03-10', '2023-03-24', '2023-03-16', 2, 29.2, 'S', '2023-03-10 11:32:08'),
  (5, 6, 8, '2023-03-26', '2023-04-09', '2023-03-28', 3, 8.0, 'S', '2023-03-25 12:25:25'),
  (6, 3, 6, '2023-04-11', '2023-04-25', '2023-04-14', 1, 22.8, 'S', '2023-04-11 13:18:42'),
  (7, 10, 6, '2023-04-27', '2023-05-11', '2023-05-01', 2, 37.6, 'S', '2023-04-26 14:11:59'),
  (8, 7, 4, '2023-05-20', '2023-06-03', '2023-05-25', 3, 16.4, 'S', '2023-05-20 15:04:16'),
  (9, 4, 3, '2023-06-05', '2023-06-19', '2023-06-11', 1, 31.2, 'S', '2023-06-04 15:57:33'),
  (10, 1, 5, '2023-06-21', '2023-07-05', '2023-06-23', 2, 10.0, 'S', '2023-06-21 16:50:50'),
  (11, 8, 8, '2023-07-14', '2023-07-28', '2023-07-17', 3, 24.8, 'S', '2023-07-13 08:43:07'),
  (12, 5, 4, '2023-07-30', '2023-08-13', '2023-08-03', 1, 39.6, 'S', '2023-07-30 09:36:24'),
  (13, 2, 4, '2023-08-15', '2023-08-29', '2023-08-20', 2, 18.4, 'S', '2023-08-14 10:29:41'),
  (14, 9, 5, '2023-08-31', '2023-09-14', '2023-09-06', 3, 33.2, 'S', '2023-08-31 11:22:58'),
  (15, 6, 7, '2023-09-23', '2023-10-07', '2023-09-25', 1, 12.0, 'S', '2023-09-22 12:15:15'),
  (16, 3, 8, '2023-10-09', '2023-10-23', '2023-10-12', 2, 26.8, 'S', '2023-10-09 13:08:32'),
  (17, 10, 8, '2023-10-25', '2023-11-08', NULL, NULL, NULL, 'C', '2023-10-24 14:01:49'),
  (18, 7, 2, '2023-11-17', '2023-12-01', '2023-11-22', 1, 20.4, 'S', '2023-11-17 14:54:06'),
  (19, 4, 6, '2023-12-03', '2023-12-17', '2023-12-09', 2, 35.2, 'S', '2023-12-02 15:47:23'),
  (20, 1, 4, '2023-12-19', '2024-01-02', '2023-12-21', 3, 14.0, 'S', '2023-12-19 16:40:40'),
  (21, 8, 7, '2024-01-04', '2024-01-18', '2024-01-07', 1, 28.8, 'S', '2024-01-03 08:33:57'),
  (22, 5, 6, '2024-01-27', '2024-02-10', '2024-01-31', 2, 7.6, 'S', '2024-01-27 09:26:14'),
  (23, 2, 5, '2024-02-12', '2024-02-26', '2024-02-17', 3, 22.4, 'S', '2024-02-11 10:19:31'),
  (24, 9, 4, '2024-02-28', '2024-03-13', '2024-03-05', 1, 37.2, 'S', '2024-02-28 11:12:48'),
  (25, 6, 6, '2024-03-22', '2024-04-05', '2024-03-24', 2, 16.0, 'S', '2024-03-21 12:05:05'),
  (26, 3, 7, '2024-04-07', '2024-04-21', '2024-04-10', 3, 30.8, 'S', '2024-04-07 12:58:22'),
  (27, 10, 3, '2024-04-23', '2024-05-07', '2024-04-27', 1, 9.6, 'S', '2024-04-22 13:51:39'),
  (28, 7, 4, '2024-05-09', '2024-05-23', '2024-05-14', 2, 24.4, 'S', '2024-05-09 14:44:56'),
  (29, 4, 8, '2024-06-01', '2024-06-15', '2024-06-07', 3, 39.2, 'S', '2024-05-31 15:37:13'),
  (30, 1, 5, '2024-06-17', '2024-07-01', '2024-06-19', 1, 18.0, 'S', '2024-06-17 16:30:30'),
  (31, 8, 6, '2024-07-03', '2024-07-17', '2024-07-06', 2, 32.8, 'S', '2024-07-02 08:23:47'),
  (32, 5, 4, '2024-07-26', '2024-08-09', '2024-07-30', 3, 11.6, 'S', '2024-07-26 09:16:04'),
  (33, 2, 4, '2024-08-11', '2024-08-25', '2024-08-16', 1, 26.4, 'S', '2024-08-10 10:09:21'),
  (34, 9, 5, '2024-08-27', '2024-09-10', '2024-09-02', 2, 41.2, 'S', '2024-08-27 11:02:38'),
  (35, 6, 8, '2024-09-12', '2024-09-26', '2024-09-14', 3, 20.0, 'S', '2024-09-11 11:55:55'),
  (36, 3, 3, '2024-10-05', '2024-10-19', '2024-10-08', 1, 34.8, 'S', '2024-10-05 12:48:12'),
  (37, 10, 6, '2024-10-21', '2024-11-04', '2024-10-25', 2, 13.6, 'S', '2024-10-20 13:41:29'),
  (38, 7, 5, '2024-11-06', '2024-11-20', NULL, NULL, 28.4, 'N', '2024-11-06 14:34:46'),
  (39, 4, 7, '2024-11-29', '2024-12-13', NULL, NULL, 7.2, 'N', '2024-11-28 15:27:03'),
  (40, 1, 4, '2024-12-15', '2024-12-29', NULL, NULL, 22.0, 'N', '2024-12-15 16:20:20');

INSERT INTO "Order Details" (OrderID, ProductID, "Unit Price", Quantity, Discount) VALUES
  (1, 8, 4.18, 16, 0),
  (1, 11, 3.42, 23, 0),
  (2, 15, 3.66, 27, 0),
  (2, 18, 1.81, 34, 0),
  (2, 1, 6.18, 5, 0),
  (3, 2, 6.89, 38, 0),
  (3, 5, 22.8, 9, 0),
  (3, 8, 4.18, 16, 0.05),
  (3, 11, 3.42, 23, 0),
  (4, 9, 2.61, 13, 0),
  (5, 16, 8.31, 24, 0.05),
  (5, 19, 5.13, 31, 0),
  (6, 3, 4.56, 35, 0),
  (6, 6, 3.75, 6, 0),
  (6, 9, 2.61, 13, 0),
  (7, 10, 3.04, 10, 0),
  (7, 13, 5.89, 17, 0),
  (7, 16, 8.31, 24, 0),
  (7, 19, 5.13, 31, 0.05),
  (8, 17, 2.8, 21, 0),
  (9, 4, 9.41, 32, 0.1),
  (9, 7, 3.9, 39, 0.1),
  (10, 11, 3.42, 7, 0.05),
  (10, 14, 2.19, 14, 0),
  (10, 17, 2.8, 21, 0),
  (11, 18, 1.81, 18, 0),
  (11, 1, 6.18, 25, 0),
  (11, 4, 9.41, 32, 0),
  (11, 7, 3.9, 39, 0),
  (12, 5, 22.8, 29, 0),
  (13, 12, 10.93, 40, 0),
  (13, 15, 3.66, 11, 0),
  (14, 19, 5.13, 15, 0),
  (14, 2, 6.89, 22, 0.05),
  (14, 5, 22.8, 29, 0),
  (15, 6, 3.75, 26, 0.05),
  (15, 9, 2.61, 33, 0),
  (15, 12, 10.93, 40, 0),
  (15, 15, 3.66, 11, 0),
  (16, 13, 5.89, 37, 0),
  (17, 20, 13.3, 12, 0),
  (17, 3, 4.56, 19, 0),
  (18, 7, 3.9, 23, 0),
  (18, 10, 3.04, 30, 0),
  (18, 13, 5.89, 37, 0.05),
  (19, 14, 2.19, 34, 0.1),
  (19, 17, 2.8, 5, 0.1),
  (19, 20, 13.3, 12, 0.1),
  (19, 3, 4.56, 19, 0.1),
  (20, 1, 6.18, 9, 0.05),
  (21, 9, 2.75, 20, 0),
  (21, 11, 3.6, 27, 0),
  (22, 15, 3.85, 31, 0),
  (22, 19, 5.4, 38, 0),
  (22, 1, 6.5, 9, 0),
  (23, 2, 7.25, 6, 0),
  (23, 5, 24.0, 13, 0),
  (23, 9, 2.75, 20, 0.05),
  (23, 11, 3.6, 27, 0),
  (24, 9, 2.75, 17, 0),
  (25, 16, 8.75, 28, 0.05),
  (25, 19, 5.4, 35, 0),
  (26, 4, 9.9, 39, 0),
  (26, 6, 3.95, 10, 0),
  (26, 9, 2.75, 17, 0),
  (27, 10, 3.2, 14, 0),
  (27, 13, 6.2, 21, 0),
  (27, 16, 8.75, 28, 0),
  (27, 19, 5.4, 35, 0.05),
  (28, 17, 2.95, 25, 0),
  (29, 4, 9.9, 36, 0.1),
  (29, 7, 4.1, 7, 0.1),
  (30, 11, 3.6, 11, 0.05),
  (30, 14, 2.3, 18, 0),
  (30, 17, 2.95, 25, 0),
  (31, 19, 5.4, 22, 0),
  (31, 1, 6.5, 29, 0),
  (31, 4, 9.9, 36, 0),
  (31, 7, 4.1, 7, 0),
  (32, 5, 24.0, 33, 0),
  (33, 12, 11.5, 8, 0),
  (33, 15, 3.85, 15, 0),
  (34, 19, 5.4, 19, 0),
  (34, 2, 7.25, 26, 0.05),
  (34, 5, 24.0, 33, 0),
  (35, 6, 3.95, 30, 0.05),
  (35, 9, 2.75, 37, 0),
  (35, 12, 11.5, 8, 0),
  (35, 15, 3.85, 15, 0),
  (36, 13, 6.2, 5, 0),
  (37, 20, 14.0, 16, 0),
  (37, 4, 9.9, 23, 0),
  (38, 7, 4.1, 27, 0),
  (38, 10, 3.2, 34, 0),
  (38, 13, 6.2, 5, 0.05),
  (39, 14, 2.3, 38, 0.1),
  (39, 17, 2.95, 9, 0.1),
  (39, 20, 14.0, 16, 0.1),
  (39, 4, 9.9, 23, 0.1),
  (40, 1, 6.5, 13, 0.05);
