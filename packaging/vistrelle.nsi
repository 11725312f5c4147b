; Vistrelle's installer: for the current user only, no administrator rights, 64-bit.
; Built by the MinGW build's packaging target (packaging/CMakeLists.txt), which passes
;   -DVERSION=<the CMake project's version> -DSTAGE=<folder with the packaged files>
;   -DOUTFILE=<the installer to write> -DICON=<the program icon>
; Silent use: setup.exe /S [/STARTUP]; Uninstall.exe /S.
; Frames running the program being replaced or removed are closed first; an upgrade starts them
; again afterwards.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true
; A file that cannot be written fails the install (a silent one too), never skipped unsaid.
AllowSkipFiles off

!ifndef VERSION | STAGE | OUTFILE | ICON
  !error "VERSION, STAGE, OUTFILE and ICON must be defined (-DVERSION=... on makensis' command line)"
!endif

!define PRODUCT "Vistrelle"
!define PUBLISHER "the Vistrelle authors"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vistrelle"
!define STARTUP_LINK "$SMSTARTUP\Vistrelle.lnk"

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Vistrelle"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
Icon "${ICON}"
UninstallIcon "${ICON}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 the Vistrelle authors"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Vistrelle.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; How many frames the install closed, to start again when it is done.
Var ClosedFrames

; A running program's file is locked: to replace or remove $INSTDIR\Vistrelle.exe, every frame
; running it is closed as the system closes it (WM_CLOSE to its picture window when uninstalling,
; the end of the session when upgrading; either ends the process); one that has not ended within
; 5 s is ended. Frames run from other folders stay.
; Leaves in $0 how many were closed.
!macro DEFINE_CLOSE_FRAMES UN
Function ${UN}CloseFrames
    StrCpy $0 0
    ${IfNot} ${FileExists} "$INSTDIR\Vistrelle.exe"
        Return
    ${EndIf}
    ; Compared as the system names a running program: full path, long names, any case.
    System::Call 'kernel32::GetLongPathNameW(w "$INSTDIR\Vistrelle.exe", w .r2, i ${NSIS_MAX_STRLEN})'
    StrCpy $1 0 ; the picture window after which to look on
    ${Do}
        System::Call 'user32::FindWindowExW(p 0, p r1, w "VistrelleMain", p 0) p .r1'
        ${If} $1 == 0
            ${ExitDo}
        ${EndIf}
        System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r3)'
        ; SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE
        System::Call 'kernel32::OpenProcess(i 0x101001, i 0, i r3) p .r4'
        ${If} $4 == 0
            ${Continue}
        ${EndIf}
        StrCpy $5 ""
        System::Call 'kernel32::QueryFullProcessImageNameW(p r4, i 0, w .r5, *i ${NSIS_MAX_STRLEN})'
        System::Call 'kernel32::GetLongPathNameW(w r5, w .r5, i ${NSIS_MAX_STRLEN})'
        ; Not yet ended (a window may outlive its process for a moment), and running this program.
        System::Call 'kernel32::WaitForSingleObject(p r4, i 0) i .r6'
        ${If} $6 == 258 ; WAIT_TIMEOUT
        ${AndIf} $5 == $2
            DetailPrint "Closing the frame of process $3"
            !if "${UN}" == ""
                ; An upgrade closes it as Restart Manager does, so that a remembered frame keeps
                ; its record and comes back: WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP.
                System::Call 'user32::PostMessageW(p r1, i 0x16, p 1, p 1)'
            !else
                System::Call 'user32::PostMessageW(p r1, i 0x10, p 0, p 0)' ; WM_CLOSE
            !endif
            System::Call 'kernel32::WaitForSingleObject(p r4, i 5000) i .r6'
            ${If} $6 != 0 ; not WAIT_OBJECT_0
                System::Call 'kernel32::TerminateProcess(p r4, i 1)'
                System::Call 'kernel32::WaitForSingleObject(p r4, i 5000)'
            ${EndIf}
            IntOp $0 $0 + 1
            ; Its window gone, the search starts again from the first.
            System::Call 'user32::IsWindow(p r1) i .r6'
            ${If} $6 == 0
                StrCpy $1 0
            ${EndIf}
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r4)'
    ${Loop}
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_FRAMES ""
!insertmacro DEFINE_CLOSE_FRAMES "un."

Section "Vistrelle" SecProgram
    SectionIn RO
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    Call CloseFrames
    StrCpy $ClosedFrames $0
    File "${STAGE}/Vistrelle.exe"
    File "${STAGE}/libheif.dll"
    File "${STAGE}/libde265.dll"
    File "${STAGE}/COPYING.libheif.txt"
    File "${STAGE}/COPYING.libde265.txt"
    File "${STAGE}/LICENSE.txt"
    File "${STAGE}/README.txt"
    ; The settings and the picture belong to the user once installed: an upgrade leaves them.
    ${IfNot} ${FileExists} "$INSTDIR\option.ini"
        File "${STAGE}/option.ini"
    ${EndIf}
    ${IfNot} ${FileExists} "$INSTDIR\image.jpg"
        File "${STAGE}/image.jpg"
    ${EndIf}
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    ; The shortcut's working folder is the output folder: the program folder.
    CreateShortcut "$SMPROGRAMS\Vistrelle.lnk" "$INSTDIR\Vistrelle.exe" "" "$INSTDIR\Vistrelle.exe" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vistrelle.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ; Apps & features shows the size from this value, in KiB.
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Start Vistrelle when I sign in" SecStartup
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    CreateShortcut "${STARTUP_LINK}" "$INSTDIR\Vistrelle.exe" "" "$INSTDIR\Vistrelle.exe" 0
SectionEnd

; Choosing against starting at sign-in on an upgrade takes the earlier shortcut away.
Section "-Startup choice"
    SetShellVarContext current
    ${IfNot} ${SectionIsSelected} ${SecStartup}
        Delete "${STARTUP_LINK}"
    ${EndIf}
SectionEnd

; The frames closed for the upgrade start again, from the new program. With frames remembered
; the first start brings them all back and the others, started with /again, find nothing left
; to bring back and end; without, each start is one frame.
Section "-Frames again"
    SetOutPath "$INSTDIR"
    ${For} $1 1 $ClosedFrames
        Exec '"$INSTDIR\Vistrelle.exe" /again'
    ${Next}
SectionEnd

; /STARTUP selects the sign-in shortcut (for silent installs); so does an earlier install that
; made one, so that an upgrade keeps the user's choice.
Function .onInit
    SetShellVarContext current
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/STARTUP" $1
    ${IfNot} ${Errors}
    ${OrIf} ${FileExists} "${STARTUP_LINK}"
        !insertmacro SelectSection ${SecStartup}
    ${EndIf}
FunctionEnd

; Pushes 1 when the file $R0 holds exactly the bytes of the file $R1, 0 otherwise (also when
; either cannot be read). Sizes first: a file the user replaced rarely keeps the size.
Function un.SameContent
    StrCpy $R9 0
    ClearErrors
    FileOpen $R2 $R0 r
    ${If} ${Errors}
        Push 0
        Return
    ${EndIf}
    FileOpen $R3 $R1 r
    ${If} ${Errors}
        FileClose $R2
        Push 0
        Return
    ${EndIf}
    FileSeek $R2 0 END $R4
    FileSeek $R3 0 END $R5
    ${If} $R4 == $R5
        FileSeek $R2 0 SET
        FileSeek $R3 0 SET
        StrCpy $R9 1
        ${Do}
            ClearErrors
            FileReadByte $R2 $R4
            ${If} ${Errors}
                ${ExitDo}
            ${EndIf}
            FileReadByte $R3 $R5
            ${If} $R4 != $R5
                StrCpy $R9 0
                ${ExitDo}
            ${EndIf}
        ${Loop}
    ${EndIf}
    FileClose $R2
    FileClose $R3
    Push $R9
FunctionEnd

; Removes a file of the user's from the program folder only when it is still the one this
; version installs (the uninstaller carries a copy); a changed one stays, and the folder too.
!macro RemoveIfUnchanged NAME
    File "/oname=$PLUGINSDIR\${NAME}" "${STAGE}/${NAME}"
    StrCpy $R0 "$INSTDIR\${NAME}"
    StrCpy $R1 "$PLUGINSDIR\${NAME}"
    Call un.SameContent
    Pop $0
    ${If} $0 == 1
        Delete "$INSTDIR\${NAME}"
    ${EndIf}
!macroend

Section "Uninstall"
    SetShellVarContext current
    Call un.CloseFrames
    ClearErrors
    Delete "$INSTDIR\Vistrelle.exe"
    ${If} ${Errors}
        ; Still in use: nothing is removed, and the Apps entry stays to try again.
        SetErrorLevel 2
        Abort "Vistrelle.exe is in use and cannot be removed."
    ${EndIf}
    Delete "$SMPROGRAMS\Vistrelle.lnk"
    Delete "${STARTUP_LINK}"
    Delete "$INSTDIR\libheif.dll"
    Delete "$INSTDIR\libde265.dll"
    Delete "$INSTDIR\COPYING.libheif.txt"
    Delete "$INSTDIR\COPYING.libde265.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\README.txt"
    InitPluginsDir
    !insertmacro RemoveIfUnchanged "option.ini"
    !insertmacro RemoveIfUnchanged "image.jpg"
    Delete "$INSTDIR\Uninstall.exe"
    ; Only when empty: whatever of the user's is left keeps its folder.
    SetOutPath "$TEMP"
    RMDir "$INSTDIR"
    ; Last, so that whoever waits for the uninstall can watch for this key to go.
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
