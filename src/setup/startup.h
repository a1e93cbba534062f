// src/setup/: the entry. Start-up (language, platform, the DLL search), the message loop, and the
// wiring of the subsystems below it.
//
// Start-up decisions that need no Win32: version flags, the language rule, the setup folder and
// the Enter-key routing of the main loop.
#pragma once

struct VersionFlags {
    int isNtPlatform;
    int isOldShell;
};

enum { kPlatformWin32Nt = 2 };

// versionKnown is 0 when the version query failed: both flags then stay 0.
VersionFlags VersionFlagsFor(int versionKnown, unsigned long platformId, unsigned long majorVersion);

// 1 Simplified or 2 Traditional Chinese for a Chinese system language on a double-byte code page,
// else 0 (English).
int UiLanguageFor(int hasDbcsCodePage, unsigned short systemLanguageId);

// The module path up to and including its last backslash; "A:\" when it has none.
void SetupDirFromModulePath(char *setupDir, const char *modulePath);

// The button styles (the low byte of a button's style) of check boxes and radio buttons: Enter
// there means Next, not a click. The same values as the Win32 BS_ constants.
enum ChoiceButtonStyle : unsigned long {
    kCheckBox = 2,
    kAutoCheckBox = 3,
    kRadioButton = 4,
    kThreeState = 5,
    kAutoThreeState = 6,
    kAutoRadioButton = 9,
};

struct EnterRoute {
    int command;  // the WM_COMMAND id to post to the wizard
    int dropKey;  // 1 when the key message goes no further
};

// Enter on a focused push button clicks it; anywhere else it means Next. focusClass is null when
// no window has the focus (or its class could not be read).
EnterRoute RouteEnterKey(const char *focusClass, unsigned long focusStyle, int focusId, int defaultCommandId);
