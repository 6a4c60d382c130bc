; The installer of 澜栖 for 64-bit Windows: the programs for every user of the
; PC under Program Files, laid out as on Linux (bin\ and share\lanqi\), so that
; each user's workbook is that user's own copy in %APPDATA%\lanqi\, made at the
; first start. The uninstaller removes the program and leaves those workbooks.
;   makensis -INPUTCHARSET UTF8 -DVERSION=0.1 -DSTAGE=folder -DOUTFILE=setup.exe lanqi.nsi
; STAGE holds lanqi.exe, lanqi-tally.exe, workbook.xls, readme.txt and lanqi.ico.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "MUI2.nsh"

!define PRODUCT "澜栖"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\lanqi"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\lanqi"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "${PRODUCT}"

!define MUI_ICON "${STAGE}\lanqi.ico"
!define MUI_UNICON "${STAGE}\lanqi.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\bin\lanqi.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "${PRODUCT}"
  SetOutPath "$INSTDIR\bin"
  File "${STAGE}\lanqi.exe"
  File "${STAGE}\lanqi-tally.exe"
  ; The shipped workbook, copied for each user at that user's first start.
  SetOutPath "$INSTDIR\share\lanqi"
  File "/oname=账单明细.xls" "${STAGE}\workbook.xls"
  ; The statement template, read where it is.
  File "/oname=对账单.xls" "${STAGE}\statement.xls"
  SetOutPath "$INSTDIR"
  File "/oname=说明.txt" "${STAGE}\readme.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetOutPath "$INSTDIR\bin"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\bin\lanqi.exe"
  CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\bin\lanqi.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\lanqi.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there goes: each user's workbook in
; %APPDATA%\lanqi\ is that user's and stays.
Section "Uninstall"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$DESKTOP\${PRODUCT}.lnk"
  Delete "$INSTDIR\bin\lanqi.exe"
  Delete "$INSTDIR\bin\lanqi-tally.exe"
  Delete "$INSTDIR\share\lanqi\账单明细.xls"
  Delete "$INSTDIR\share\lanqi\对账单.xls"
  Delete "$INSTDIR\说明.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\bin"
  RMDir "$INSTDIR\share\lanqi"
  RMDir "$INSTDIR\share"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
