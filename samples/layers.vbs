' Loads a drawing into the Plandra control, lists its layers, switches the first one
' off, and shows how an error of the control reaches a script.
' Usage: cscript //nologo layers.vbs DRAWING.DXF
Option Explicit
Dim dxf, layer, i, state
Set dxf = CreateObject("PlandraOCX.DXF")
dxf.FileName = WScript.Arguments(0)
If dxf.Regen(0) = 0 Then
    WScript.Echo "The drawing could not be shown."
    WScript.Quit 1
End If
WScript.Echo dxf.colLayers.Count & " layers"
For i = 1 To dxf.colLayers.Count
    Set layer = dxf.colLayers(i)
    If layer.LayerOn Then state = "on" Else state = "off"
    WScript.Echo "  " & layer.LayerName & " (" & state & ")"
Next
dxf.colLayers(1).LayerOn = 0
dxf.DXFRefresh
On Error Resume Next
dxf.Save "C:\no such folder\copy.dxf"
If Err.Number <> 0 Then WScript.Echo "Save failed: " & Err.Description
