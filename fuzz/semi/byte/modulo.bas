If a Then
  Do While x
Loop
End If
é À LISTCOUNT ÿ
Wend