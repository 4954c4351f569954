SELECT a FROM T WHERE a = :Param1 AND b BETWEEN :Param2 AND :Param3 AND c = ?
