' sql.vbs: keeps data in the VelSQL object.
' First hand the object to the engine: on the AddIns panel type db and press Add. Then Start
' with "One Cycle" and press Get Log.
Sub Main
    ' ":memory:" keeps the database in memory; a file path keeps it on disk.
    db.Open ":memory:"
    db.Execute "CREATE TABLE fruit (name TEXT NOT NULL, price REAL, stock INTEGER)"

    ' The values after the SQL go to its ? marks in order: no quotes to double by hand.
    Dim added
    added = db.Execute("INSERT INTO fruit VALUES (?, ?, ?)", "apple", 0.5, 120)
    added = added + db.Execute("INSERT INTO fruit VALUES (?, ?, ?)", "O'Neill's pear", 0.75, Null)
    added = added + db.Execute("INSERT INTO fruit VALUES (?, ?, ?); " & _
                               "INSERT INTO fruit VALUES (?, ?, ?)", _
                               "cherry", 4, 30, "date", 2.25, 8)
    Log added & " rows added"
    Log "In stock: " & db.Scalar("SELECT sum(stock) FROM fruit")

    ' Query answers a header line, then one line a row, the columns separated by tabs.
    Log db.Query("SELECT name, price, stock FROM fruit WHERE price < ? ORDER BY name", 3)

    ' A SQL error is a run-time error of the script; On Error Resume Next traps it.
    On Error Resume Next
    db.Execute "INSERT INTO vegetables VALUES (?)", "leek"
    Log "Trapped: " & Err.Description
    Log "LastError: " & db.LastError
    On Error GoTo 0

    ' The database stays open: another engine given the same object reads the same rows.
End Sub
