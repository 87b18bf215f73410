; Corvanta setup: a per-machine install into Program Files.
;
; Corvanta asks for administrator rights at every start, so its files must lie
; where only administrators can write: a per-user folder would let any
; unelevated program replace Corvanta.exe or a library beside it and gain
; administrator rights at the user's next start.  The program keeps
; config.ini and its launcher items beside itself; it runs elevated and can
; write there.  Built by scripts/package.sh:
;   makensis -INPUTCHARSET UTF8 -DVERSION=x.y.z.w -DCOPYRIGHT=... -DSTAGE=<files> -DOUTFILE=<setup.exe> corvanta.nsi
;
; Command line (besides NSIS's /S and /D=):
;   /ENGLISH        the English user interface
;   /AUTOSTART=0|1  start at sign-in off or on (default: on, or as installed)
; Exit codes: 0 done, 1 cancelled by the user, 2 Corvanta still running (or
; another failure, nothing changed), 3 a newer version is installed (refused).
; Uninstaller: /S keeps config.ini and the launcher items; /S /DELETESETTINGS
; deletes them too.
Target amd64-unicode
Unicode true
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include Sections.nsh
!include FileFunc.nsh
!include WordFunc.nsh

!define PRODUCT "Corvanta"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvanta"
!define TASK_NAME "Corvanta"
!define MAIN_WINDOW_TITLE "Corvanta - MainWindow(デバッグ時のみ表示)"
; Held by a running Corvanta from its start to its end.
!define INSTANCE_MUTEX "Mutex For Corvanta"
; The launcher item folder is named by the language of the resources.
!define ROOT_JA "ラウンチャーアイテムルート"
!define ROOT_EN "Launcher Items"
!define EXIT_STILL_RUNNING 2
!define EXIT_NEWER_INSTALLED 3

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; An upgrade goes where the installed version is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${COPYRIGHT}"

!define MUI_ICON "${STAGE}\corvanta.ico"
!define MUI_UNICON "${STAGE}\corvanta.ico"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartCorvanta
; No folder page: the install belongs in Program Files, where only
; administrators can change it (an administrator can still pass /D=).
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString SecProgram ${LANG_JAPANESE} "Corvanta 本体とヘルプ"
LangString SecProgram ${LANG_ENGLISH} "Corvanta and its help"
LangString SecEnglish ${LANG_JAPANESE} "英語の画面 (Corvanta_Lang_En.dll)"
LangString SecEnglish ${LANG_ENGLISH} "English user interface (Corvanta_Lang_En.dll)"
LangString SecAutostart ${LANG_JAPANESE} "サインイン時に起動する (タスク スケジューラ)"
LangString SecAutostart ${LANG_ENGLISH} "Start at sign-in (Task Scheduler)"
LangString NotAdmin ${LANG_JAPANESE} "Corvanta のセットアップには管理者権限が必要です。"
LangString NotAdmin ${LANG_ENGLISH} "Setting up Corvanta needs administrator rights."
LangString StillRunning ${LANG_JAPANESE} "Corvanta が終了しません。通知領域のメニューから終了してから［再試行］を押してください。"
LangString StillRunning ${LANG_ENGLISH} "Corvanta does not quit. Quit it from its notification-area menu, then press Retry."
LangString NewerInstalled ${LANG_JAPANESE} "新しいバージョンの Corvanta ($0) がインストールされています。$\nバージョン ${VERSION} に戻しますか？"
LangString NewerInstalled ${LANG_ENGLISH} "A newer version of Corvanta ($0) is installed.$\nGo back to version ${VERSION}?"
LangString MoveOld ${LANG_JAPANESE} "以前のバージョンが「$R0」にあります。$\n$\nその設定 (config.ini) とラウンチャーアイテムを「$INSTDIR」に移動しますか？$\n(以前のプログラムは削除されます。［いいえ］の場合、設定とアイテムは元のフォルダに残ります。)"
LangString MoveOld ${LANG_ENGLISH} "An earlier version is installed in $\"$R0$\".$\n$\nMove its settings (config.ini) and launcher items to $\"$INSTDIR$\"?$\n(The earlier program is removed. No: the settings and items stay in the old folder.)"
LangString LeftBehind ${LANG_JAPANESE} "「$INSTDIR」に同じ名前のものが既にあるため、次のものは移動せず「$R0」に残しました:$R1"
LangString LeftBehind ${LANG_ENGLISH} "These were not moved, because $\"$INSTDIR$\" already has them; they stay in $\"$R0$\":$R1"
LangString TaskFailed ${LANG_JAPANESE} "サインイン時の起動を登録できませんでした (schtasks の終了コード $0)。"
LangString TaskFailed ${LANG_ENGLISH} "Start at sign-in could not be registered (schtasks exit code $0)."
LangString TaskDescription ${LANG_JAPANESE} "サインイン時に Corvanta を起動します。"
LangString TaskDescription ${LANG_ENGLISH} "Starts Corvanta at sign-in."
LangString MoveItems ${LANG_JAPANESE} "ラウンチャーアイテムのフォルダ名は画面の言語に従います。$\n今までのアイテムは「$R0」にあります。$\n$\n新しい言語でも使えるよう、このフォルダの名前を「$R1」に変更しますか？$\n(［いいえ］の場合、次の起動でサンプル入りの新しいフォルダが作られ、今までのアイテムは元のフォルダにそのまま残ります。)"
LangString MoveItems ${LANG_ENGLISH} "The launcher item folder is named in the language of the program.$\nYour items are in $\"$R0$\".$\n$\nRename that folder to $\"$R1$\" so that the new language shows them?$\n(No: the next start creates a new folder with samples; your items stay in the old folder.)"
LangString BothRoots ${LANG_JAPANESE} "今までのアイテムは「$R0」にあります。「$R1」も既にあるため、名前は変更しません。"
LangString BothRoots ${LANG_ENGLISH} "Your earlier items are in $\"$R0$\". $\"$R1$\" exists as well, so nothing is renamed."
LangString DeleteItems ${LANG_JAPANESE} "設定ファイル (config.ini) とラウンチャーアイテムのフォルダも削除しますか？$\n$\n［いいえ］を選ぶと残します (再インストール後もそのまま使えます)。"
LangString DeleteItems ${LANG_ENGLISH} "Also delete the settings (config.ini) and the launcher item folders?$\n$\nNo keeps them (a later install uses them again)."

Var OldInstallDir   ; the per-user install of version 1.0.0.0, if any

Function StartCorvanta
  Exec '"$INSTDIR\Corvanta.exe"'
FunctionEnd

; The setup language follows the system's UI language: Japanese on a
; Japanese system, English everywhere else.
!macro ChooseLanguage
  System::Call 'kernel32::GetUserDefaultUILanguage() i .r0'
  IntOp $0 $0 & 0x3FF
  ${If} $0 = 17  ; LANG_JAPANESE
    StrCpy $LANGUAGE ${LANG_JAPANESE}
  ${Else}
    StrCpy $LANGUAGE ${LANG_ENGLISH}
  ${EndIf}
!macroend

; Pushes 1 while a Corvanta runs in this session (it holds its instance
; mutex from start to end, message boxes of its first start included), else 0.
!macro IsCorvantaRunning un
Function ${un}IsCorvantaRunning
  Push $1
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${INSTANCE_MUTEX}") p .r1'
  ${If} $1 == 0
    Pop $1
    Push 0
    Return
  ${EndIf}
  System::Call 'kernel32::CloseHandle(p r1)'
  Pop $1
  Push 1
FunctionEnd
!macroend
!insertmacro IsCorvantaRunning ""
!insertmacro IsCorvantaRunning "un."

; Ends a running Corvanta before any file changes: with the program's own quit
; word, then waits up to 10 s for the process to end.  Setup and program both
; run elevated, so the quit request reaches it on Windows too (a window
; message from an unelevated process would be dropped).  Only the installed
; Corvanta.exe is run (Program Files); without one, the main window is asked
; to close directly, which is what the quit word does: nothing is ever run
; from a folder an unelevated program could have changed.
!macro QuitRunningCorvanta un
Function ${un}QuitRunningCorvanta
  retry:
  Call ${un}IsCorvantaRunning
  Pop $0
  ${If} $0 = 0
    Return
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\Corvanta.exe"
    DetailPrint "Corvanta.exe QuitApplication"
    ExecWait '"$INSTDIR\Corvanta.exe" QuitApplication'
  ${Else}
    FindWindow $0 "" "${MAIN_WINDOW_TITLE}"
    ${If} $0 <> 0
      System::Call 'user32::PostMessageW(p r0, i ${WM_CLOSE}, p 0, p 0)'
    ${EndIf}
  ${EndIf}
  StrCpy $1 0
  ${Do}
    Call ${un}IsCorvantaRunning
    Pop $0
    ${IfThen} $0 = 0 ${|} Return ${|}
    Sleep 100
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= 100
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY retry
  SetErrorLevel ${EXIT_STILL_RUNNING}
  Quit
FunctionEnd
!macroend
!insertmacro QuitRunningCorvanta ""
!insertmacro QuitRunningCorvanta "un."

; Moves $R2 (a name) from the old per-user folder $R0 into $INSTDIR unless
; something of that name is there already; what stays is listed in $R1.
Function MoveFromOldInstall
  ${IfNot} ${FileExists} "$R0\$R2"
    Return
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\$R2"
    StrCpy $R1 "$R1$\n$R2"
    Return
  ${EndIf}
  ClearErrors
  Rename "$R0\$R2" "$INSTDIR\$R2"
  ${If} ${Errors}
    StrCpy $R1 "$R1$\n$R2"
  ${EndIf}
FunctionEnd

; The per-user layout of 1.0.0.0 (%LOCALAPPDATA%\Programs\Corvanta, with its
; uninstall entry under HKCU): offer to move config.ini and the launcher item
; folders here (a silent install moves them), never overwriting anything;
; then remove the old program and its entry.  Nothing of the user's is
; deleted: what is not moved stays in the old folder.
Function MigrateOldInstall
  ${If} $OldInstallDir == ""
    Return
  ${EndIf}
  StrCpy $R0 $OldInstallDir
  StrCpy $R1 ""
  MessageBox MB_YESNO|MB_ICONQUESTION "$(MoveOld)" /SD IDYES IDNO removeProgram
    CreateDirectory "$INSTDIR"
    StrCpy $R2 "config.ini"
    Call MoveFromOldInstall
    StrCpy $R2 "${ROOT_JA}"
    Call MoveFromOldInstall
    StrCpy $R2 "${ROOT_EN}"
    Call MoveFromOldInstall
    ${If} $R1 != ""
      MessageBox MB_OK|MB_ICONINFORMATION "$(LeftBehind)" /SD IDOK
    ${EndIf}
  removeProgram:
  Delete "$R0\Corvanta.exe"
  Delete "$R0\Corvanta.dll"
  Delete "$R0\Corvanta_Lang_En.dll"
  Delete "$R0\CorvantaHelp.chm"
  Delete "$R0\CorvantaHelp_En.chm"
  Delete "$R0\README.txt"
  Delete "$R0\Corvanta.trace.log"
  Delete "$R0\uninstall.exe"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  SetShellVarContext all
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  RMDir "$R0"
FunctionEnd

; When the language changes and the items sit in the folder named in the old
; language, offer to rename it (never silently lost: the items would seem
; gone).  $R0 old folder name, $R1 new folder name.
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

; Writes $0 to the file handle $9 as UTF-16, with &, < and > escaped for XML.
Function WriteXmlText
  ${WordReplace} $0 "&" "&amp;" "+" $0
  ${WordReplace} $0 "<" "&lt;" "+" $0
  ${WordReplace} $0 ">" "&gt;" "+" $0
  FileWriteUTF16LE $9 $0
FunctionEnd
!macro XmlLine text
  FileWriteUTF16LE $9 `${text}$\r$\n`
!macroend

; The sign-in task: for the installing user, at logon, with the highest
; rights (no elevation prompt each time), no time limit, one instance, normal
; priority (the default, below normal, would pass on to every program
; Corvanta starts).  Registered from an XML file: the one form that both
; Windows and Wine take.
Function CreateSignInTask
  ReadEnvStr $1 USERNAME
  ReadEnvStr $2 USERDOMAIN
  ${If} $2 != ""
    StrCpy $1 "$2\$1"
  ${EndIf}
  InitPluginsDir
  FileOpen $9 "$PLUGINSDIR\task.xml" w
  FileWriteWord $9 0xFEFF
  !insertmacro XmlLine '<?xml version="1.0" encoding="UTF-16"?>'
  !insertmacro XmlLine '<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">'
  !insertmacro XmlLine '  <RegistrationInfo>'
  FileWriteUTF16LE $9 '    <Author>${PRODUCT}</Author>$\r$\n    <Description>'
  StrCpy $0 "$(TaskDescription)"
  Call WriteXmlText
  !insertmacro XmlLine '</Description>'
  !insertmacro XmlLine '  </RegistrationInfo>'
  !insertmacro XmlLine '  <Triggers>'
  FileWriteUTF16LE $9 '    <LogonTrigger>$\r$\n      <Enabled>true</Enabled>$\r$\n      <UserId>'
  StrCpy $0 $1
  Call WriteXmlText
  !insertmacro XmlLine '</UserId>'
  !insertmacro XmlLine '    </LogonTrigger>'
  !insertmacro XmlLine '  </Triggers>'
  !insertmacro XmlLine '  <Principals>'
  FileWriteUTF16LE $9 '    <Principal id="Author">$\r$\n      <UserId>'
  StrCpy $0 $1
  Call WriteXmlText
  !insertmacro XmlLine '</UserId>'
  !insertmacro XmlLine '      <LogonType>InteractiveToken</LogonType>'
  !insertmacro XmlLine '      <RunLevel>HighestAvailable</RunLevel>'
  !insertmacro XmlLine '    </Principal>'
  !insertmacro XmlLine '  </Principals>'
  !insertmacro XmlLine '  <Settings>'
  !insertmacro XmlLine '    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>'
  !insertmacro XmlLine '    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>'
  !insertmacro XmlLine '    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>'
  !insertmacro XmlLine '    <AllowHardTerminate>true</AllowHardTerminate>'
  !insertmacro XmlLine '    <AllowStartOnDemand>true</AllowStartOnDemand>'
  !insertmacro XmlLine '    <Enabled>true</Enabled>'
  !insertmacro XmlLine '    <ExecutionTimeLimit>PT0S</ExecutionTimeLimit>'
  !insertmacro XmlLine '    <Priority>4</Priority>'
  !insertmacro XmlLine '  </Settings>'
  !insertmacro XmlLine '  <Actions Context="Author">'
  FileWriteUTF16LE $9 '    <Exec>$\r$\n      <Command>'
  StrCpy $0 "$INSTDIR\Corvanta.exe"
  Call WriteXmlText
  FileWriteUTF16LE $9 '</Command>$\r$\n      <WorkingDirectory>'
  StrCpy $0 "$INSTDIR"
  Call WriteXmlText
  !insertmacro XmlLine '</WorkingDirectory>'
  !insertmacro XmlLine '    </Exec>'
  !insertmacro XmlLine '  </Actions>'
  !insertmacro XmlLine '</Task>'
  FileClose $9
  nsExec::Exec '"$SYSDIR\schtasks.exe" /create /xml "$PLUGINSDIR\task.xml" /tn "${TASK_NAME}" /f'
  Pop $0
  ${If} $0 != 0
    DetailPrint "$(TaskFailed)"
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(TaskFailed)" /SD IDOK
  ${EndIf}
FunctionEnd

!macro DeleteSignInTask
  nsExec::Exec '"$SYSDIR\schtasks.exe" /delete /tn "${TASK_NAME}" /f'
  Pop $0
!macroend

Section "$(SecProgram)" SecProgram
  SectionIn RO
  ; First, before anything changes: a Corvanta that does not end leaves
  ; everything as it was.
  Call QuitRunningCorvanta
  Call MigrateOldInstall
  SetOutPath "$INSTDIR"
  File "${STAGE}\Corvanta.exe"
  File "${STAGE}\Corvanta.dll"
  File "${STAGE}\CorvantaHelp.chm"
  File "${STAGE}\CorvantaHelp_En.chm"
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
  File "${STAGE}\THIRD-PARTY-NOTICES.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Corvanta.exe"
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

Section "$(SecAutostart)" SecAutostart
  Call CreateSignInTask
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

; Start at sign-in turned off on an upgrade: the task goes.  The choice is
; kept with the uninstall entry, so the next upgrade keeps it.
Section "-Register"
  ${If} ${SectionIsSelected} ${SecAutostart}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "StartAtSignIn" 1
  ${Else}
    !insertmacro DeleteSignInTask
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "StartAtSignIn" 0
  ${EndIf}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Corvanta.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function .onInit
  SetShellVarContext all
  !insertmacro ChooseLanguage
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "$(NotAdmin)" /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}

  ; Never silently over a newer version; interactively, ask.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $0 != ""
    ${VersionCompare} $0 "${VERSION}" $1
    ${If} $1 = 1
      ${If} ${Silent}
        SetErrorLevel ${EXIT_NEWER_INSTALLED}
        Quit
      ${EndIf}
      MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 "$(NewerInstalled)" IDYES downgrade
        SetErrorLevel ${EXIT_NEWER_INSTALLED}
        Quit
      downgrade:
    ${EndIf}
  ${EndIf}

  ; An earlier per-user install (found through its uninstall entry).
  ReadRegStr $OldInstallDir HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $OldInstallDir != ""
  ${AndIfNot} ${FileExists} "$OldInstallDir\*.*"
    StrCpy $OldInstallDir ""
  ${EndIf}

  ; English: /ENGLISH, else the choice of the install being upgraded or
  ; moved, else the language of the setup.
  ${If} ${FileExists} "$INSTDIR\Corvanta.exe"
    StrCpy $0 "$INSTDIR"
  ${Else}
    StrCpy $0 "$OldInstallDir"
  ${EndIf}
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\Corvanta.exe"
    ${If} ${FileExists} "$0\Corvanta_Lang_En.dll"
      !insertmacro SelectSection ${SecEnglish}
    ${EndIf}
  ${ElseIf} $LANGUAGE = ${LANG_ENGLISH}
    !insertmacro SelectSection ${SecEnglish}
  ${EndIf}
  ${GetParameters} $2
  ClearErrors
  ${GetOptions} $2 "/ENGLISH" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecEnglish}
  ${EndIf}

  ; Start at sign-in: on by default, as installed on an upgrade, or as
  ; /AUTOSTART= says.
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "StartAtSignIn"
  ClearErrors
  ${GetOptions} $2 "/AUTOSTART=" $1
  ${IfNot} ${Errors}
    StrCpy $0 $1
  ${EndIf}
  ${If} $0 == "0"
    !insertmacro UnselectSection ${SecAutostart}
  ${EndIf}
FunctionEnd

Var DeleteSettings

Function un.onInit
  SetShellVarContext all
  !insertmacro ChooseLanguage
  StrCpy $DeleteSettings 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/DELETESETTINGS" $1
  ${IfNot} ${Errors}
    StrCpy $DeleteSettings 1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.QuitRunningCorvanta
  !insertmacro DeleteSignInTask
  ${If} $DeleteSettings = 0
    ; Default and silent answer: keep the user's settings and items.
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(DeleteItems)" /SD IDNO IDNO keep
  ${EndIf}
    ; The program's own deletion removes links inside the item folders
    ; without entering them.  It is run once per language, so that both
    ; folder names go.
    ExecWait '"$INSTDIR\Corvanta.exe" DeleteSettingFiles'
    Delete "$INSTDIR\Corvanta_Lang_En.dll"
    ExecWait '"$INSTDIR\Corvanta.exe" DeleteSettingFiles'
  keep:
  Delete "$INSTDIR\Corvanta.exe"
  Delete "$INSTDIR\Corvanta.dll"
  Delete "$INSTDIR\Corvanta_Lang_En.dll"
  Delete "$INSTDIR\CorvantaHelp.chm"
  Delete "$INSTDIR\CorvantaHelp_En.chm"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
  Delete "$INSTDIR\Corvanta.trace.log"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; Only removed when nothing of the user's is left in it.
  RMDir "$INSTDIR"
SectionEnd
