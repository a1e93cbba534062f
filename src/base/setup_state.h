// src/base/: the floor every other folder stands on. Process-wide state, resource ids, text and
// path helpers, the DLL search and the system functions looked up at run time; it includes
// nothing above it.
//
// Process-wide state shared by the setup's subsystems. Everything here is zero (empty) before
// start-up, except DefaultCommandId. Window and drawing handles live in setup_state_win32.h.
#pragma once

enum { kPathBufferSize = 260 };

// Joins a folder and a name. The Linux stand-in joins with '/', so that its files land inside
// their folder as they do on Windows.
#ifdef _WIN32
#define PATH_SEPARATOR "\\"
#else
#define PATH_SEPARATOR "/"
#endif

extern int IsNtPlatform;
extern int IsOldShell;
extern int HasDbcsCodePage;
extern int UiLanguage;     // 0 English, 1 Simplified Chinese, 2 Traditional Chinese
extern int ForceLanguage;  // interface language of the installed product, same values
extern const char *ProductFolderName;
extern char SetupDir[kPathBufferSize];    // trailing backslash
extern char WindowsDir[kPathBufferSize];  // trailing backslash
extern char InstallDir[kPathBufferSize];  // as typed or chosen
extern int WizardPage;                    // one of the kPage values below
extern const int DefaultCommandId;
extern int DisplayOk;
extern int WantDesktopIcons;
extern int WantAutoStart;
extern int KeepOldWordBase;

// WizardPage's values: the four pages in their order, the install under way, the end of the setup.
enum {
    kPageFolder = 0,
    kPageDisplayTest = 1,
    kPageLicence = 2,
    kPageLanguage = 3,
    kPageInstalling = 99,
    kPageLeave = -1,
};
