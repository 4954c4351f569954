SELECT DISTINCT c.Name as Customer, o.Amount
FROM 
     Orders o INNER JOIN  Customers c ON (o.CustID=c.ID)
     
WHERE
(
c.Name in (SELECT c.Name  FROM Customers c  WHERE c.City = 'Leeds') AND
NOT (o.Status in ('C'))
)
ORDER BY 2 ASC
