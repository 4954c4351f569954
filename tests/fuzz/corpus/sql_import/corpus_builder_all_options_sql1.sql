SELECT DISTINCT c.Name as "Customer name", c.City
FROM 
     Orders o, 
     Customers c
WHERE
   ((o.CustID=c.ID)) AND
(
(
(c.City = 'Leeds') OR
(c.City = 'York')
) AND
NOT (
(o.Status = 'C') AND
NOT (
(o.Amount >1000) OR
(o.OrderDate is null)
)
) AND
(c.Name like '%Ltd%')
)
ORDER BY c.City DESC
