SELECT * FROM T ORDER BY T.Name, "Order Date" DESC, x."y z"
