#include "base/setup_state.h"

#include "base/resource_ids.h"

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
const int DefaultCommandId = IDC_NEXT;
int DisplayOk;
int WantDesktopIcons;
int WantAutoStart;
int KeepOldWordBase;
