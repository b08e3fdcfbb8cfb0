' The library of the Excel conversion scripts: the Excel application, new
' worksheets and assignment of objects or values alike.

Dim g_x
Function  XL()
  If IsEmpty( g_x ) Then _
    Set g_x = WScript.CreateObject( "Excel.Application" ) : g_x.Visible = True
  Set XL = g_x
End Function

' A new worksheet after the given one; for Empty, the first sheet of a new
' workbook.
Function  Sheet_new( After )
  If IsEmpty( After ) Then
    Set Sheet_new = XL.Workbooks.Add().Worksheets(1)
  Else
    Set Sheet_new = After.Parent.Worksheets.Add( , After )
  End If
  Sheet_new.Activate
End Function

Sub  LetSet( Out, Value )
  If IsObject( Value ) Then
    Set Out = Value
  Else
    Out = Value
  End If
End Sub
