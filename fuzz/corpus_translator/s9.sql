DELETE s FROM tblSales s INNER JOIN tblItem i ON i.InvID = s.InvID WHERE i.Rate > 1 AND NOT EXISTS (SELECT 1 FROM tblLog l WHERE l.KeyID = s.InvID AND l.Action = 'X')
