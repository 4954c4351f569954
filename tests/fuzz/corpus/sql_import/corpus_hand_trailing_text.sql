SELECT a FROM T ORDER BY 1 anything at all ; ( ' "
