; The payload of Plandra's own setup as an NSIS setup, for tests/bench/compare_installers.sh:
; the same files to the same places, and an uninstaller that takes them off again.
; makensis -DTARGET=amd64-unicode|x86-unicode -DBUILD=DIR -DSOURCE=DIR -DOUTFILE=FILE
Unicode true
Target ${TARGET}
Name "Plandra"
OutFile "${OUTFILE}"
InstallDir "C:\PLANDRA"
RequestExecutionLevel admin

Section
    SetOutPath "$INSTDIR"
    File "/oname=PLANDRA.OCX" "${BUILD}/product/programs/Plandra.ocx"
    File "/oname=RESCIND32.EXE" "${BUILD}/product/programs/Rescind32.exe"
    File "/oname=README.TXT" "${SOURCE}/README.md"
    SetOutPath "$INSTDIR\SAMPLES"
    File "/oname=SITE-PLAN.DXF" "${SOURCE}/samples/site-plan.dxf"
    File "/oname=BLOCKS.DXF" "${SOURCE}/samples/blocks.dxf"
    File "/oname=TEXTS.DXF" "${SOURCE}/samples/texts.dxf"
    File "/oname=POLYLINES.DXF" "${SOURCE}/samples/polylines.dxf"
    File "/oname=PENS.DXF" "${SOURCE}/samples/pens-and-colours.dxf"
    File "/oname=FIND.DXF" "${SOURCE}/samples/find-texts.dxf"
    SetOutPath "$INSTDIR\EXAMPLES"
    File "/oname=LAYERS.VBS" "${SOURCE}/samples/layers.vbs"
    File "/oname=CONTAINER.CPP" "${SOURCE}/samples/container/container.cpp"
    WriteUninstaller "$INSTDIR\UNINST.EXE"
SectionEnd

Section Uninstall
    Delete "$INSTDIR\SAMPLES\*.DXF"
    RMDir "$INSTDIR\SAMPLES"
    Delete "$INSTDIR\EXAMPLES\LAYERS.VBS"
    Delete "$INSTDIR\EXAMPLES\CONTAINER.CPP"
    RMDir "$INSTDIR\EXAMPLES"
    Delete "$INSTDIR\PLANDRA.OCX"
    Delete "$INSTDIR\RESCIND32.EXE"
    Delete "$INSTDIR\README.TXT"
    Delete "$INSTDIR\UNINST.EXE"
    RMDir "$INSTDIR"
SectionEnd
