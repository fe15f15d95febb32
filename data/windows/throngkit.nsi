; The Windows installer, made by cmake/MakeWindowsPackage.cmake:
;   makensis -DVERSION=6.1.0 -DFILES=files.nsh -DUNFILES=unfiles.nsh -DOUTFILE=setup.exe throngkit.nsi
; FILES installs the program's folder file by file and UNFILES removes those files again, so that
; the uninstaller takes away what was installed and nothing else: the referee's own files in the
; folder and the INI in %APPDATA%\Throngkit stay.
;
; Started normally it installs for the current user, without administrator rights, into
; %LOCALAPPDATA%\Programs\Throngkit; run as administrator, for all users into Program Files
; (/CurrentUser keeps it to the current user even then). /S installs and uninstalls silently.

; A 64-bit installer: a 32-bit one does not run where Windows has no 32-bit layer (and Wine
; without wine32 exits 0 without doing anything).
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
ManifestSupportedOS Win10
RequestExecutionLevel user
; Installed files get the time of installing: the installer holds no time stamp of the build.
SetDateSave off

!include LogicLib.nsh
!include FileFunc.nsh
!include MUI2.nsh

!define NAME "Throngkit"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NAME}"

Name "${NAME} ${VERSION}"
OutFile "${OUTFILE}"
Icon "throngkit.ico"
UninstallIcon "throngkit.ico"
BrandingText "${NAME} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${NAME}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${NAME} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${NAME}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "MIT licence; Qt under the LGPL-3.0"

!define MUI_ICON "throngkit.ico"
!define MUI_UNICON "throngkit.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\throngkit.exe"
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var AllUsers

; For all users when run as administrator (with the full token, not a filtered one) unless
; /CurrentUser says otherwise; the uninstaller is told which by its command line.
!macro ChooseUsers un
Function ${un}ChooseUsers
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/CurrentUser" $1
    ${If} ${Errors}
        UserInfo::GetAccountType
        Pop $1
        ${If} $1 == "Admin"
            StrCpy $AllUsers 1
        ${EndIf}
    ${EndIf}
    ${If} $AllUsers == 1
        SetShellVarContext all
    ${Else}
        SetShellVarContext current
    ${EndIf}
FunctionEnd
!macroend
!insertmacro ChooseUsers ""
!insertmacro ChooseUsers "un."

Function .onInit
    Call ChooseUsers
    ; Where a version before this one went, else the usual place (/D= names another).
    ${If} $INSTDIR == ""
        ReadRegStr $INSTDIR SHCTX "${UNINSTALL_KEY}" "InstallLocation"
    ${EndIf}
    ${If} $INSTDIR == ""
    ${AndIf} $AllUsers == 1
        StrCpy $INSTDIR "$PROGRAMFILES64\${NAME}"
    ${ElseIf} $INSTDIR == ""
        GetKnownFolderPath $INSTDIR {5CD7AEE2-2219-4A67-B85D-6C9CE15660CB} ; FOLDERID_UserProgramFiles
        ${If} $INSTDIR == ""   ; as Windows before 7 (and Wine) have it
            StrCpy $INSTDIR "$LOCALAPPDATA\Programs"
        ${EndIf}
        StrCpy $INSTDIR "$INSTDIR\${NAME}"
    ${EndIf}
FunctionEnd

Function un.onInit
    Call un.ChooseUsers
FunctionEnd

Section "Install"
    !include "${FILES}"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; Started from the Start menu, the program begins in the user's documents, where its file
    ; dialogs then open.
    SetOutPath "$DOCUMENTS"
    CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\throngkit.exe" "" "$INSTDIR\throngkit.exe" 0 \
        SW_SHOWNORMAL "" "Rabbles of fighters for RuneQuest and Traveller"
    ; Apps & features: HKCU for one user, HKLM for all (SHCTX follows SetShellVarContext).
    ${If} $AllUsers == 1
        StrCpy $0 "/AllUsers"
    ${Else}
        StrCpy $0 "/CurrentUser"
    ${EndIf}
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${NAME}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\throngkit.exe"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" $0'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" $0 /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\${NAME}.lnk"
    !include "${UNFILES}"
    Delete "$INSTDIR\uninstall.exe"
    ; Only when empty: the referee's own files stay, and so does the folder that holds them.
    RMDir "$INSTDIR"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
