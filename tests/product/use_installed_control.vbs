' Drives the installed Plandra control as a user's script does: loads an installed
' sample drawing, exports the view as an enhanced metafile and saves a copy with markup.
' Usage: cscript //nologo use_installed_control.vbs INSTALLATION_FOLDER
Option Explicit
Dim dxf, folder
folder = WScript.Arguments(0)
Set dxf = CreateObject("PlandraOCX.DXF")
dxf.FileName = folder & "\SAMPLES\SITE-PLAN.DXF"
If dxf.Regen(0) = 0 Then
    WScript.Echo "The installed sample could not be shown."
    WScript.Quit 1
End If
dxf.SaveWMF folder & "\SITE-PLAN.EMF"
dxf.colLayers.Add -1, 255, "MARKUP", -1, True
dxf.DXFAddLine 0, 30, 40, 0, "MARKUP"
dxf.DXFAddCircle 20, 15, 28, 15, "MARKUP"
If dxf.Save(folder & "\MARKED.DXF") = 0 Then
    WScript.Echo "The marked-up drawing could not be saved."
    WScript.Quit 1
End If
