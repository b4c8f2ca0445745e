; The installer of Lumatrove: the 64-bit programs on 64-bit Windows, the 32-bit ones otherwise,
; into Program Files, with a Start-menu entry and an entry in Programs and Features. The
; uninstaller removes the programs, the Start-menu entry, the start with Windows and the
; folder on PATH, and keeps the user's profiles and log unless asked to remove them.
; For a roll-out it takes, besides /S and /D=<folder>:
;   /CONFIG=<file>      the profile file to install as lumatrove.cfg, checked first by the
;                       console program: a bad one ends the install with its exit code, before
;                       anything is changed; an existing lumatrove.cfg is kept as .bak
;   /AUTOSTART=0|1      start with Windows
;   /UPDATECHECK=0|1    look for a newer version at start
;   /PATH=1             the program folder on the system PATH
; A running Lumatrove is ended (its Exit command) before its files are replaced.
; makensis -DVERSION=<x.y.z> -DX64EXE=<file> -DX86EXE=<file> -DX64COM=<file> -DX86COM=<file>
;          -DHELP=<file> -DREADME=<file> -DOUTFILE=<setup.exe> [-DSIGN=<command>] lumatrove.nsi
; -DSIGN names a command that signs the file after it in place: the uninstaller is signed
; before it goes into the installer, the installer once it is written.
; -DAMD64_STUB builds the same installer as a 64-bit program: the tests run it under a Wine
; that runs 64-bit programs only.
!ifdef AMD64_STUB
Target amd64-unicode
!else
Unicode true
!endif
SetCompressor /SOLID lzma
!ifdef SIGN
!uninstfinalize '${SIGN} "%1"'
!finalize '${SIGN} "%1"'
!endif
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "x64.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

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

Var Config       ; /CONFIG, as a full path; "" when not given
Var AutoStart    ; /AUTOSTART: "0", "1" or ""
Var UpdateCheck  ; /UPDATECHECK: "0", "1" or ""
Var OnPath       ; /PATH: "1" or ""

; Puts this Windows' programs into $PLUGINSDIR, where they run before anything is installed.
!macro ExtractPrograms
  ${If} ${RunningX64}
    File "/oname=$PLUGINSDIR\lumatrove.exe" "${X64EXE}"
    File "/oname=$PLUGINSDIR\lumatrove.com" "${X64COM}"
  ${Else}
    File "/oname=$PLUGINSDIR\lumatrove.exe" "${X86EXE}"
    File "/oname=$PLUGINSDIR\lumatrove.com" "${X86COM}"
  ${EndIf}
!macroend

; An option's value, "" when it was not given.
!macro Option name into
  ClearErrors
  ${GetOptions} $R0 "/${name}=" ${into}
  ${If} ${Errors}
    StrCpy ${into} ""
  ${EndIf}
!macroend

Function .onInit
  ${If} ${RunningX64}
    SetRegView 64
    ; The 64-bit Program Files, unless /D named another folder.
    ${If} $INSTDIR == "$PROGRAMFILES\Lumatrove"
      StrCpy $INSTDIR "$PROGRAMFILES64\Lumatrove"
    ${EndIf}
  ${EndIf}
  ${GetParameters} $R0
  !insertmacro Option CONFIG $Config
  !insertmacro Option AUTOSTART $AutoStart
  !insertmacro Option UPDATECHECK $UpdateCheck
  !insertmacro Option PATH $OnPath
  ${If} $Config != ""
    ; A relative path is the prompt's: resolved before anything changes the folder.
    GetFullPathName $Config $Config
    InitPluginsDir
    SetOutPath $PLUGINSDIR
    !insertmacro ExtractPrograms
    nsExec::ExecToStack '"$PLUGINSDIR\lumatrove.com" --check "$Config"'
    Pop $0
    Pop $1
    ${If} $0 != 0
      ${IfNot} ${Silent}
        MessageBox MB_ICONSTOP "無法使用組態檔 $Config：$\r$\n$1"
      ${EndIf}
      ${If} $0 == "error"
        StrCpy $0 2
      ${EndIf}
      SetErrorLevel $0
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

Section "Lumatrove" Program
  SectionIn RO
  ; A running Lumatrove ends through its Exit command, as a user would end it, before its
  ; files are replaced (an older one is found by its window as well).
  InitPluginsDir
  SetOutPath $PLUGINSDIR
  !insertmacro ExtractPrograms
  nsExec::Exec '"$PLUGINSDIR\lumatrove.com" --exit'
  Pop $0

  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    File "/oname=lumatrove.exe" "${X64EXE}"
    File "/oname=lumatrove.com" "${X64COM}"
  ${Else}
    File "/oname=lumatrove.exe" "${X86EXE}"
    File "/oname=lumatrove.com" "${X86COM}"
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

  ; The profiles of a roll-out; the user's own are kept beside them.
  ${If} $Config != ""
    ${If} ${FileExists} "$INSTDIR\lumatrove.cfg"
      Delete "$INSTDIR\lumatrove.cfg.bak"
      Rename "$INSTDIR\lumatrove.cfg" "$INSTDIR\lumatrove.cfg.bak"
    ${EndIf}
    CopyFiles /SILENT "$Config" "$INSTDIR\lumatrove.cfg"
  ${EndIf}
  ; The settings go through the console program, which also sets up the start with Windows
  ; and edits PATH entry by entry (NSIS's strings would cut a long PATH short).
  StrCpy $1 ""
  ${If} $AutoStart != ""
    StrCpy $1 "$1 autostart=$AutoStart"
  ${EndIf}
  ${If} $UpdateCheck != ""
    StrCpy $1 "$1 updatecheck=$UpdateCheck"
  ${EndIf}
  ${If} $OnPath == "1"
    StrCpy $1 "$1 path=1"
  ${EndIf}
  ${If} $1 != ""
    nsExec::ExecToStack '"$INSTDIR\lumatrove.com" --settings$1'
    Pop $0
    Pop $2
    ${If} $0 != 0
      DetailPrint "lumatrove --settings$1: $2"
      SetErrorLevel $0
    ${EndIf}
  ${EndIf}
SectionEnd

; Off unless chosen: the profiles, their damaged copies, the settings copy and the log.
Section /o "un.刪除組態檔與動作日誌" UserData
  Delete "$INSTDIR\lumatrove.cfg"
  Delete "$INSTDIR\lumatrove.cfg.tmp"
  Delete "$INSTDIR\lumatrove.cfg.bad*"
  Delete "$INSTDIR\lumatrove.cfg.bak"
  Delete "$INSTDIR\lumatrove.undo"
  Delete "$INSTDIR\system.log"
SectionEnd

Section "un.Lumatrove" UnProgram
  SectionIn RO
  ; The program ends first, and its folder leaves PATH while the console program is there.
  nsExec::Exec '"$INSTDIR\lumatrove.com" --exit'
  Pop $0
  nsExec::Exec '"$INSTDIR\lumatrove.com" --settings path=0'
  Pop $0
  Delete "$INSTDIR\lumatrove.exe"
  Delete "$INSTDIR\lumatrove.com"
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
