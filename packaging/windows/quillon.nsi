; The Windows installer: the programs into Program Files, a Start menu entry and an
; uninstaller. tools/package-windows.sh passes VERSION, SOURCE (the folder holding the programs
; and README.txt) and OUTFILE.
; A 64-bit installer for 64-bit programs (and one that a 64-bit-only Wine runs).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define APP "Quillon"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillon"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
InstallDirRegKey HKLM "Software\${APP}" "InstallDir"
; The installer's own pages: where to, then the files.
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Quillon"
    SetRegView 64
    ; Installed for every user of the machine, so the Start menu entry is theirs too.
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File "${SOURCE}\quillon.exe"
    File "${SOURCE}\quillon-cli.exe"
    File "${SOURCE}\quillon-tcbridge.exe"
    File "${SOURCE}\README.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\quillon.exe"
    WriteRegStr HKLM "Software\${APP}" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Quillon developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quillon.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The settings in %APPDATA%\Quillon and the backups beside Total Commander's files are the
; user's and stay.
Section "Uninstall"
    SetRegView 64
    SetShellVarContext all
    Delete "$SMPROGRAMS\${APP}.lnk"
    Delete "$INSTDIR\quillon.exe"
    Delete "$INSTDIR\quillon-cli.exe"
    Delete "$INSTDIR\quillon-tcbridge.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "Software\${APP}"
SectionEnd
