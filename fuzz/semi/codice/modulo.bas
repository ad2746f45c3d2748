Attribute VB_Name = "Contabilita"
Option Explicit

' Calcola il totale delle fatture: If the list is empty returns 0
Private Const MAX_RIGHE As Integer = 100
Public Totale As Double

Public Function SommaFatture(ByVal n As Integer) As Double
    Dim i As Integer
    Dim s As Double
    s = 0
    For i = 1 To n
        If Importo(i) > 0 Then
            s = s + Importo(i)
        ElseIf Importo(i) = 0 Then
            Debug.Print "Riga vuota: If nothing then skip"
        Else
            Exit For
        End If
    Next i
    SommaFatture = s
End Function

Private Sub Form_Load()
    Dim nome As String
    nome = "Select Case non tradotto"
    Select Case Len(nome)
        Case 0
            MsgBox "Vuoto"
        Case Else
            Call SommaFatture(MAX_RIGHE)
    End Select
    Do While Totale < 10 And Not Totale = 5
        Totale = Totale + 1
    Loop
    Rem Fine del caricamento: While and For stay
End Sub
