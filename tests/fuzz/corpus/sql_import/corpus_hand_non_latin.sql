SELECT k.Straße AS "Straße", k.Имя FROM Kunden k WHERE k.Ort = 'Zürich' AND k.Имя LIKE 'Ж%'
