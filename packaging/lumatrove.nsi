; The installer of Lumatrove: the 64-bit program on 64-bit Windows, the 32-bit one otherwise,
; into Program Files, with a Start-menu entry and an entry in Programs and Features. The
; uninstaller removes the program, its Start-menu entry and its start-with-Windows value, and
; keeps the user's profiles and log unless asked to remove them.
; makensis -DVERSION=<x.y.z> -DX64EXE=<file> -DX86EXE=<file> -DHELP=<file> -DREADME=<file>
;          -DOUTFILE=<setup.exe> lumatrove.nsi
; -DAMD64_STUB builds the same installer as a 64-bit program: the tests run it under a Wine
; that runs 64-bit programs only.
!ifdef AMD64_STUB
Target amd64-unicode
!else
Unicode true
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "x64.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumatrove"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Lumatrove(KORVAL WORKS)"

Name "Lumatrove ${VERSION}"
Caption "Lumatrove ${VERSION} 安裝程式"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Lumatrove"
BrandingText "Lumatrove ${VERSION}"

!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\lumatrove.exe"
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "TradChinese"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_TRADCHINESE} "ProductName" "Lumatrove"
VIAddVersionKey /LANG=${LANG_TRADCHINESE} "CompanyName" "KORVAL WORKS"
VIAddVersionKey /LANG=${LANG_TRADCHINESE} "FileDescription" "Lumatrove 安裝程式"
VIAddVersionKey /LANG=${LANG_TRADCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_TRADCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_TRADCHINESE} "LegalCopyright" "Copyright (C) KORVAL WORKS"

Function .onInit
  ${If} ${RunningX64}
    SetRegView 64
    StrCpy $INSTDIR "$PROGRAMFILES64\Lumatrove"
  ${EndIf}
FunctionEnd

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

Section "Lumatrove" Program
  SectionIn RO
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    File "/oname=lumatrove.exe" "${X64EXE}"
  ${Else}
    File "/oname=lumatrove.exe" "${X86EXE}"
  ${EndIf}
  File "/oname=Lumatrove使用手冊.chm" "${HELP}"
  File "/oname=讀我.txt" "${README}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\Lumatrove"
  CreateShortcut "$SMPROGRAMS\Lumatrove\Lumatrove.lnk" "$INSTDIR\lumatrove.exe"
  CreateShortcut "$SMPROGRAMS\Lumatrove\Lumatrove使用手冊.lnk" "$INSTDIR\Lumatrove使用手冊.chm"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Lumatrove"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "KORVAL WORKS"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\lumatrove.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Off unless chosen: the profiles, their damaged copies, the settings copy and the log.
Section /o "un.刪除組態檔與動作日誌" UserData
  Delete "$INSTDIR\lumatrove.cfg"
  Delete "$INSTDIR\lumatrove.cfg.tmp"
  Delete "$INSTDIR\lumatrove.cfg.bad*"
  Delete "$INSTDIR\system.log"
SectionEnd

Section "un.Lumatrove" UnProgram
  SectionIn RO
  Delete "$INSTDIR\lumatrove.exe"
  Delete "$INSTDIR\Lumatrove使用手冊.chm"
  Delete "$INSTDIR\讀我.txt"
  Delete "$INSTDIR\config.xml"
  Delete "$INSTDIR\lumatrove.version"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  SetShellVarContext all
  Delete "$SMPROGRAMS\Lumatrove\Lumatrove.lnk"
  Delete "$SMPROGRAMS\Lumatrove\Lumatrove使用手冊.lnk"
  RMDir "$SMPROGRAMS\Lumatrove"

  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  ; The Task Scheduler's task that starts the program at logon (Vista and later); where there
  ; is none, schtasks says so and nothing changes.
  nsExec::Exec '"$SYSDIR\schtasks.exe" /Delete /TN "Lumatrove" /F'
  Pop $0
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
