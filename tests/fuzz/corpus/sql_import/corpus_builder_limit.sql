SELECT DISTINCT c.Name as Customer, o.OrderDate as Ordered_on, o.Amount
FROM 
     Orders o INNER JOIN  Customers c ON (o.CustID=c.ID)
     
WHERE
(
c.Name = 'O''Brien' AND
o.Amount <> 12.5 AND
o.OrderDate < '1 03 2024' AND
o.Amount <= 100 AND
o.ID >7 AND
o.OrderDate >= '31 12 2023' AND
c.City is null AND
o.Status in ('O','S') AND
NOT (c.City in ('London','Paris')) AND
c.Name like 'Sm%' AND
not(c.Name like 'X%') AND
c.City like '%on%' AND
not(c.City like '%burg%') AND
o.Amount between 10 and 20 AND
NOT (o.OrderDate between '1 01 2024' and '30 06 2024') AND
o.Paid = 'True'
)
ORDER BY 1 ASC, 2 DESC
LIMIT 25
