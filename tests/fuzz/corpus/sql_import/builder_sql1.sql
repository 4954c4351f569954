SELECT DISTINCT c.Name as Customer
FROM 
     Orders o, 
     Customers c
WHERE
   (o.CustID=c.ID) AND
(
c.Name like 'Sm%' AND
o.OrderDate = '2016-03-05'
)
ORDER BY 1 ASC
