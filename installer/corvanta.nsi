; Corvanta setup: a per-user install (no administrator rights needed to
; install), because the program writes config.ini and its launcher items
; beside itself.  Built by scripts/package.sh:
;   makensis -INPUTCHARSET UTF8 -DVERSION=x.y.z.w -DSTAGE=<files> -DOUTFILE=<setup.exe> corvanta.nsi
Target amd64-unicode
Unicode true
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include Sections.nsh
!include FileFunc.nsh

!define PRODUCT "Corvanta"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvanta"
!define MAIN_WINDOW_TITLE "Corvanta - MainWindow(デバッグ時のみ表示)"
; The launcher item folder is named by the language of the resources.
!define ROOT_JA "ラウンチャーアイテムルート"
!define ROOT_EN "Launcher Items"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PRODUCT}"

!define MUI_ICON "${STAGE}\corvanta.ico"
!define MUI_UNICON "${STAGE}\corvanta.ico"
!define MUI_COMPONENTSPAGE_NODESC
; Started through the shell: Corvanta asks for administrator rights, which
; a plain process start from this unelevated setup would fail with.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartCorvanta
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"

LangString SecProgram ${LANG_JAPANESE} "Corvanta 本体とヘルプ"
LangString SecProgram ${LANG_ENGLISH} "Corvanta and its help"
LangString SecEnglish ${LANG_JAPANESE} "英語の画面 (Corvanta_Lang_En.dll)"
LangString SecEnglish ${LANG_ENGLISH} "English user interface (Corvanta_Lang_En.dll)"
LangString StillRunning ${LANG_JAPANESE} "Corvanta が動作中です。通知領域のメニューから終了してから［再試行］を押してください。"
LangString StillRunning ${LANG_ENGLISH} "Corvanta is running. Quit it from its notification-area menu, then press Retry."
LangString MoveItems ${LANG_JAPANESE} "ラウンチャーアイテムのフォルダ名は画面の言語に従います。$\n今までのアイテムは「$R0」にあります。$\n$\n新しい言語でも使えるよう、このフォルダの名前を「$R1」に変更しますか？$\n(［いいえ］の場合、次の起動でサンプル入りの新しいフォルダが作られ、今までのアイテムは元のフォルダにそのまま残ります。)"
LangString MoveItems ${LANG_ENGLISH} "The launcher item folder is named in the language of the program.$\nYour items are in $\"$R0$\".$\n$\nRename that folder to $\"$R1$\" so that the new language shows them?$\n(No: the next start creates a new folder with samples; your items stay in the old folder.)"
LangString BothRoots ${LANG_JAPANESE} "今までのアイテムは「$R0」にあります。「$R1」も既にあるため、名前は変更しません。"
LangString BothRoots ${LANG_ENGLISH} "Your earlier items are in $\"$R0$\". $\"$R1$\" exists as well, so nothing is renamed."
LangString DeleteItems ${LANG_JAPANESE} "設定ファイル (config.ini) とラウンチャーアイテムのフォルダも削除しますか？$\n$\n［いいえ］を選ぶと残します (再インストール後もそのまま使えます)。"
LangString DeleteItems ${LANG_ENGLISH} "Also delete the settings (config.ini) and the launcher item folders?$\n$\nNo keeps them (a later install uses them again)."

Function StartCorvanta
  ExecShell "open" "$INSTDIR\Corvanta.exe"
FunctionEnd

; Asks a running Corvanta to quit (it closes on WM_CLOSE) and waits for it.
; An elevated Corvanta does not take messages from this unelevated setup:
; then the user is asked to quit it.
!macro QuitRunningCorvanta un
Function ${un}QuitRunningCorvanta
  retry:
  FindWindow $0 "" "${MAIN_WINDOW_TITLE}"
  ${If} $0 == 0
    Return
  ${EndIf}
  SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=2000
  StrCpy $1 0
  ${Do}
    Sleep 100
    IntOp $1 $1 + 1
    FindWindow $0 "" "${MAIN_WINDOW_TITLE}"
    ${IfThen} $0 == 0 ${|} ${ExitDo} ${|}
  ${LoopUntil} $1 >= 50
  ${If} $0 != 0
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY retry
    Abort
  ${EndIf}
  ; The process may still be closing its files after its window went.
  Sleep 500
FunctionEnd
!macroend
!insertmacro QuitRunningCorvanta ""
!insertmacro QuitRunningCorvanta "un."

; When the language changes and the items sit in the folder named in the old
; language, offer to rename it (never silently: the items would seem lost).
; $R0 old folder name, $R1 new folder name.
Function OfferRootRename
  ${IfNot} ${FileExists} "$INSTDIR\$R0\*.*"
    Return
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\$R1\*.*"
    MessageBox MB_OK|MB_ICONINFORMATION "$(BothRoots)" /SD IDOK
    Return
  ${EndIf}
  MessageBox MB_YESNO|MB_ICONQUESTION "$(MoveItems)" /SD IDYES IDNO done
  Rename "$INSTDIR\$R0" "$INSTDIR\$R1"
  done:
FunctionEnd

Section "$(SecProgram)" SecProgram
  SectionIn RO
  Call QuitRunningCorvanta
  SetOutPath "$INSTDIR"
  File "${STAGE}\Corvanta.exe"
  File "${STAGE}\Corvanta.dll"
  File "${STAGE}\CorvantaHelp.chm"
  File "${STAGE}\CorvantaHelp_En.chm"
  File "${STAGE}\README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Corvanta.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Corvanta.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section /o "$(SecEnglish)" SecEnglish
  ${IfNot} ${FileExists} "$INSTDIR\Corvanta_Lang_En.dll"
    StrCpy $R0 "${ROOT_JA}"
    StrCpy $R1 "${ROOT_EN}"
    Call OfferRootRename
  ${EndIf}
  SetOutPath "$INSTDIR"
  File "${STAGE}\Corvanta_Lang_En.dll"
SectionEnd

; Japanese chosen over an English install: the library goes, and the items
; are offered the Japanese folder name.
Section "-JapaneseAgain"
  ${IfNot} ${SectionIsSelected} ${SecEnglish}
  ${AndIf} ${FileExists} "$INSTDIR\Corvanta_Lang_En.dll"
    Delete "$INSTDIR\Corvanta_Lang_En.dll"
    StrCpy $R0 "${ROOT_EN}"
    StrCpy $R1 "${ROOT_JA}"
    Call OfferRootRename
  ${EndIf}
SectionEnd

Function .onInit
  ; /ENGLISH on the command line (or an English library already in place)
  ; selects the English user interface.
  ${If} ${FileExists} "$INSTDIR\Corvanta_Lang_En.dll"
    !insertmacro SelectSection ${SecEnglish}
  ${EndIf}
  ClearErrors
  ${GetParameters} $0
  ${GetOptions} $0 "/ENGLISH" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecEnglish}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.QuitRunningCorvanta
  ; Default and silent answer: keep the user's settings and items.
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(DeleteItems)" /SD IDNO IDNO keep
    ; The program's own deletion removes links inside the item folders
    ; without entering them.  It is run once per language, so that both
    ; folder names go; it asks for administrator rights like every start.
    ExecShellWait "runas" "$INSTDIR\Corvanta.exe" "DeleteSettingFiles" SW_HIDE
    Delete "$INSTDIR\Corvanta_Lang_En.dll"
    ExecShellWait "runas" "$INSTDIR\Corvanta.exe" "DeleteSettingFiles" SW_HIDE
  keep:
  Delete "$INSTDIR\Corvanta.exe"
  Delete "$INSTDIR\Corvanta.dll"
  Delete "$INSTDIR\Corvanta_Lang_En.dll"
  Delete "$INSTDIR\CorvantaHelp.chm"
  Delete "$INSTDIR\CorvantaHelp_En.chm"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\Corvanta.trace.log"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; Only removed when nothing of the user's is left in it.
  RMDir "$INSTDIR"
SectionEnd
