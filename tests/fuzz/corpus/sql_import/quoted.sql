SELECT "c"."Name" AS "The Name" FROM "Customers" "c" WHERE NOT ("c"."Name" LIKE "%x%") OR o.Amount > 100
