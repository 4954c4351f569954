select * from Customers c where c.City is not null and (c.Name = :pName or c.Name != 'x') order by Name desc
