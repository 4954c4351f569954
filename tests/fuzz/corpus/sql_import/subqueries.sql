SELECT c.Name FROM Customers c WHERE c.Name IN (SELECT c.Name FROM Customers c WHERE c.City IN (SELECT c.City FROM Customers c WHERE c.Name LIKE '%a%'))
