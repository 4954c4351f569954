SELECT c.Name, COUNT(o.ID) AS Cnt FROM ((Customers c LEFT OUTER JOIN Orders o ON o.CustID = c.ID)) GROUP BY c.Name HAVING COUNT(o.ID) > 1 ORDER BY Cnt
