SELECT DISTINCT c.Name as Customer
FROM 
     Orders o
     INNER JOIN Customers c ON (o.CustID=c.ID)
WHERE
(
c.Name like 'Sm%' AND
NOT (
o.Amount between 10 and 20 AND
o.Status in ('O','S')
)
)
ORDER BY 1 ASC
