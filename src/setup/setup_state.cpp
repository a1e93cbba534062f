#include "setup/setup_state.h"

int IsNtPlatform;
int IsOldShell;
int HasDbcsCodePage;
int UiLanguage;
int ForceLanguage;
const char *ProductFolderName;  // "Tesso" from start-up on
char SetupDir[kPathBufferSize];
char WindowsDir[kPathBufferSize];
char InstallDir[kPathBufferSize];
int WizardPage;
const int DefaultCommandId = 1001;
int DisplayOk;
int WantDesktopIcons;
int WantAutoStart;
int KeepOldWordBase;
