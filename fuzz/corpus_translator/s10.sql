UPDATE s SET s.Qty = s.Qty + i.Rate, s.N = s.N / 0 FROM tblSales s INNER JOIN tblItem i ON s.InvID = i.InvID WHERE s.Party IS NULL OR s.Party <> 'x'
