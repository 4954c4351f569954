SELECT c.Name as "Customer name", c.City
FROM 
     Orders o INNER JOIN  Customers c ON (o.CustID=c.ID)
     
WHERE
(
(
c.City = 'Leeds' OR
c.City = 'York'
) AND
NOT (
o.Status = 'C' AND
NOT (
o.Amount >1000 OR
o.OrderDate is null
)
) AND
c.Name like '%Ltd%'
)
ORDER BY 2 DESC
