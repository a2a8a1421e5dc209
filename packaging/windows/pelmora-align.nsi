; The installer of the Windows edition: the programs, the UI.INI of every language and the
; read-me in Program Files, a Start-menu entry for all users, and an uninstaller registered
; with the system. /S installs (and the uninstaller uninstalls) silently.
; Exit codes: 0 done; 1 cancelled by the user; 2 the tool is running (a silent install changes
; nothing then); 3010 uninstalled, files that were in use go at the next restart.
; Defines given by the build: VERSION, STAGE (the folder of the files), ICON, OUTFILE.
Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
; A file that cannot be written fails the install (asked again, or cancelled when silent).
AllowSkipFiles off

!include "MUI2.nsh"

!define NAME "Pelmora Align Tool"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\PelmoraAlignTool"
!define SHORTCUT "$SMPROGRAMS\${NAME}.lnk"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${NAME}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
BrandingText "${NAME} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${NAME}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${NAME} installer"
VIAddVersionKey /LANG=0 "CompanyName" "Pelmora"
VIAddVersionKey /LANG=0 "LegalCopyright" "Pelmora"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; The finish page starts the tool through the shell, with the signed-in user's rights rather
; than the installer's elevated ones.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartToolAsUser
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The installer speaks the languages of the tool; Windows' display language picks one.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "Italian"
!insertmacro MUI_LANGUAGE "Portuguese"
!insertmacro MUI_LANGUAGE "Polish"
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "Turkish"
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "Korean"

; What the installer and uninstaller say about a running tool.
LangString ToolRunning ${LANG_ENGLISH} "The Pelmora Align Tool is running. Close it, then press Retry."
LangString ToolRunning ${LANG_GERMAN} "Das Pelmora Align Tool läuft. Schließen Sie es und klicken Sie dann auf Wiederholen."
LangString ToolRunning ${LANG_FRENCH} "Pelmora Align Tool est en cours d'exécution. Fermez-le, puis cliquez sur Réessayer."
LangString ToolRunning ${LANG_SPANISH} "Pelmora Align Tool se está ejecutando. Ciérrelo y pulse Reintentar."
LangString ToolRunning ${LANG_ITALIAN} "Pelmora Align Tool è in esecuzione. Chiudilo, poi premi Riprova."
LangString ToolRunning ${LANG_PORTUGUESE} "O Pelmora Align Tool está em execução. Feche-o e prima Repetir."
LangString ToolRunning ${LANG_POLISH} "Pelmora Align Tool jest uruchomiony. Zamknij go, a następnie naciśnij Ponów."
LangString ToolRunning ${LANG_RUSSIAN} "Pelmora Align Tool запущен. Закройте его и нажмите «Повтор»."
LangString ToolRunning ${LANG_TURKISH} "Pelmora Align Tool çalışıyor. Kapatın, ardından Yeniden Dene'ye basın."
LangString ToolRunning ${LANG_SIMPCHINESE} "Pelmora Align Tool 正在运行。请关闭它，然后按“重试”。"
LangString ToolRunning ${LANG_JAPANESE} "Pelmora Align Tool が実行中です。終了してから [再試行] を押してください。"
LangString ToolRunning ${LANG_KOREAN} "Pelmora Align Tool이 실행 중입니다. 닫은 다음 [다시 시도]를 누르십시오."
LangString RestartToFinish ${LANG_ENGLISH} "The Pelmora Align Tool was in use. Restart the computer to finish removing it."
LangString RestartToFinish ${LANG_GERMAN} "Das Pelmora Align Tool war in Gebrauch. Starten Sie den Computer neu, um die Entfernung abzuschließen."
LangString RestartToFinish ${LANG_FRENCH} "Pelmora Align Tool était en cours d'utilisation. Redémarrez l'ordinateur pour terminer la suppression."
LangString RestartToFinish ${LANG_SPANISH} "Pelmora Align Tool estaba en uso. Reinicie el equipo para terminar de quitarlo."
LangString RestartToFinish ${LANG_ITALIAN} "Pelmora Align Tool era in uso. Riavvia il computer per completarne la rimozione."
LangString RestartToFinish ${LANG_PORTUGUESE} "O Pelmora Align Tool estava em uso. Reinicie o computador para concluir a remoção."
LangString RestartToFinish ${LANG_POLISH} "Pelmora Align Tool był w użyciu. Uruchom ponownie komputer, aby dokończyć usuwanie."
LangString RestartToFinish ${LANG_RUSSIAN} "Pelmora Align Tool использовался. Перезагрузите компьютер, чтобы завершить удаление."
LangString RestartToFinish ${LANG_TURKISH} "Pelmora Align Tool kullanımdaydı. Kaldırmayı tamamlamak için bilgisayarı yeniden başlatın."
LangString RestartToFinish ${LANG_SIMPCHINESE} "Pelmora Align Tool 正在使用中。请重新启动计算机以完成删除。"
LangString RestartToFinish ${LANG_JAPANESE} "Pelmora Align Tool は使用中でした。削除を完了するにはコンピューターを再起動してください。"
LangString RestartToFinish ${LANG_KOREAN} "Pelmora Align Tool이 사용 중이었습니다. 제거를 마치려면 컴퓨터를 다시 시작하십시오."

; Waits until no window of the tool is open: asks the user to close it (Retry looks again,
; Cancel ends with exit code 1); silent, ends at once with exit code 2. Files are touched only
; after it.
!macro WAIT_UNTIL_TOOL_CLOSED PREFIX
  Function ${PREFIX}WaitUntilToolClosed
    Push $0
  again:
    FindWindow $0 "PelmoraAlignForm1"
    StrCmp $0 0 closed
    IfSilent 0 ask
    SetErrorLevel 2
    Quit
  ask:
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(ToolRunning)" IDRETRY again
    SetErrorLevel 1
    Quit
  closed:
    Pop $0
  FunctionEnd
!macroend
!insertmacro WAIT_UNTIL_TOOL_CLOSED ""
!insertmacro WAIT_UNTIL_TOOL_CLOSED "un."

; The shell's own process starts the program, so it runs with the user's unelevated rights.
Function StartToolAsUser
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\pelmora-align.exe"'
FunctionEnd

; A 64-bit installer: it sees the 64-bit Program Files and registry as the program does.
Function .onInit
  SetShellVarContext all
  Call WaitUntilToolClosed
FunctionEnd

; Interactive, the uninstaller asks for the tool to be closed. Silent, it cannot ask: it removes
; what it can and leaves the program that is in use to the next restart (exit code 3010).
Function un.onInit
  SetShellVarContext all
  IfSilent +2
  Call un.WaitUntilToolClosed
FunctionEnd

Section
  ; The tool may have been started while the pages were shown.
  Call WaitUntilToolClosed
  SetOutPath "$INSTDIR"
  File "${STAGE}\pelmora-align.exe"
  File "${STAGE}\pelmora-cli.exe"
  File "${STAGE}\UI.INI"
  File "${STAGE}\README.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\pelmora-align.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Pelmora"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pelmora-align.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes exactly what the installer put there, and a SYSTEM.INI that the tool wrote beside
; itself when it ran with the right to; the folder goes when nothing else is left in it. A file
; still in use goes at the next restart, and the uninstaller says so.
Section "Uninstall"
  Delete /REBOOTOK "$INSTDIR\pelmora-align.exe"
  Delete /REBOOTOK "$INSTDIR\pelmora-cli.exe"
  Delete "$INSTDIR\UI.INI"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\SYSTEM.INI"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
  Delete "${SHORTCUT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  IfRebootFlag 0 done
  SetErrorLevel 3010
  MessageBox MB_OK|MB_ICONINFORMATION "$(RestartToFinish)" /SD IDOK
done:
SectionEnd
