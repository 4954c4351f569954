SELECT Ord.OrderID as Order_number, Cust.CompanyName as Customer, Emp.FirstName || ' ' || Emp.LastName as Salesperson, Ord."Required Date" as Required_by, Shp.CompanyName as Shipper
FROM 
     (((Orders Ord LEFT OUTER JOIN  Shippers Shp
         ON (Ord.ShipperID=Shp.ShipperID)) INNER JOIN  Employees Emp
         ON (Ord.EmployeeID=Emp.EmployeeID)) INNER JOIN  Customers Cust
         ON (Ord.CustomerID=Cust.CustomerID))
WHERE
(
Ord.ShippedDate is null and Ord.Status <> 'C'
)
ORDER BY 4 ASC
