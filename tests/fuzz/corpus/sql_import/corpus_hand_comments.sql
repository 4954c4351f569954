-- a comment line first
-- and a second
SELECT a
FROM T
