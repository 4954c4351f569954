SELECT Ord.OrderID as Order_number, Cust.CompanyName as Customer, Emp.FirstName || ' ' || Emp.LastName as Salesperson, Ord."Required Date" as Required_by, Shp.CompanyName as Shipper
FROM 
     Orders Ord, 
     Shippers Shp, 
     Employees Emp, 
     Customers Cust
WHERE
   ((Ord.ShipperID=Shp.ShipperID (+) )) AND
   ((Ord.EmployeeID=Emp.EmployeeID)) AND
   ((Ord.CustomerID=Cust.CustomerID)) AND
(
(Ord.ShippedDate is null and Ord.Status <> 'C')
)
ORDER BY 4 ASC
