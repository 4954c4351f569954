SELECT a FROM (((A a
  INNER JOIN B b ON (a.id = b.aid))
  LEFT JOIN C c ON (b.id = c.bid AND c.x = 1))
  INNER JOIN D d ON (d.id = c.did OR d.id IS NULL))
WHERE a.x = 1
