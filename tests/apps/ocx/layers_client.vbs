' A script host's use of the control: load a drawing, read and switch its layers,
' export it as a metafile and meet its errors. Argument: the drawing to load.
Option Explicit
Dim dxf, layer, i, ok, strError, l, t, r, b, fso, emf
Set dxf = CreateObject("PlandraOCX.DXF")
WScript.Echo "ZoomFunction " & dxf.ZoomFunction & ", fonts " & dxf.PropFontName & "/" & dxf.MonoFontName
dxf.FileName = WScript.Arguments(0)
WScript.Echo "Regen " & dxf.Regen(0) & ", DXFComplete " & dxf.DXFComplete
WScript.Echo "layers " & dxf.colLayers.Count & " (Layers " & dxf.Layers.Count & ")"
For i = 1 To dxf.colLayers.Count
    Set layer = dxf.colLayers(i)
    WScript.Echo i & " " & layer.LayerName & " on " & layer.LayerOn & " colour " & Hex(layer.LayerColor)
Next
i = 0
For Each layer In dxf.colLayers
    If layer.LayerOn Then i = i + 1
Next
WScript.Echo "For Each: " & i & " on"
dxf.colLayers.Item(2).LayerOn = 0
WScript.Echo "layer 2 on " & dxf.Layers(2).LayerOn & ", DXFRefresh " & dxf.DXFRefresh
ok = dxf.GetCurrentZoom(l, t, r, b)
WScript.Echo "GetCurrentZoom " & ok & " " & TypeName(l) & " " & (r > l) & " " & (t > b)
strError = "unchanged"
WScript.Echo "Refresh " & dxf.Refresh(strError) & " [" & strError & "]"
dxf.TmpFileNamePath = "C:\scratch"
WScript.Echo "TmpFileNamePath " & dxf.TmpFileNamePath
Set fso = CreateObject("Scripting.FileSystemObject")
emf = fso.BuildPath(fso.GetSpecialFolder(2), "plandra-client.emf")
If fso.FileExists(emf) Then fso.DeleteFile emf
WScript.Echo "SaveWMF " & dxf.SaveWMF(emf) & ", written " & (fso.GetFile(emf).Size > 100)
fso.DeleteFile emf
On Error Resume Next
dxf.Save "Z:\no such folder\copy.dxf"
WScript.Echo "Save: " & Hex(Err.Number) & " " & Replace(Err.Description, vbCrLf, "|")
Err.Clear
dxf.colLayers(99).LayerOn = 0
WScript.Echo "Item 99: " & Hex(Err.Number) & " " & Err.Description
Err.Clear
dxf.NoSuchMember
WScript.Echo "NoSuchMember: " & Hex(Err.Number)
Set layer = Nothing
Set dxf = Nothing
