select o.ID from Orders o where o.Amount between 1 and 5 and o.Paid = 1 and o.OrderDate = '01/31/1970' and o.ID in (1, 2, 3)
