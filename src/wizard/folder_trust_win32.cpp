#include "wizard/folder_trust_win32.h"

#include "install/folder_trust.h"
#include "install/install_ui.h"
#include "setup/format_text.h"
#include "setup/setup_state.h"
#include "wizard/message_box_win32.h"
#include "wizard/resource_ids.h"
#include "wizard/wizard_state.h"

namespace {

const char kOwnerEnglish[] = "Another user owns this folder and could change the programs put in it. OK "
                             "installs anyway; Cancel quits, "
                             "changing nothing.";
static_assert(sizeof kOwnerEnglish <= 128, "the message box shows at most 127 bytes of English");

}  // namespace

// Whoever owns the folder can change its rights and every file in it after the install; code put
// beside the programs would run in their place or with them, in every session that starts them.
// The 95 family keeps no users apart (anyone may change any file), so nothing is asked there.
int FolderTrustAccepted(HWND dialog) {
    if (!IsNtPlatform)
        return 1;
    FolderTrustCheck check = CheckFolderTrust(InstallDir);
    char chinese[512], english[128];
    switch (check.problem) {
    case kFolderTrusted:
        return 1;
    case kFolderForeignOwner:
        FormatText(chinese, sizeof chinese, "%s",
                   "安装目录属于别的用户，该用户可以改动装在里面的程序。"
                   "按“确定”仍然安装，按“取消”退出安装（不作改动）。");
        FormatText(english, sizeof english, "%s", kOwnerEnglish);
        break;
    default:
        FormatText(chinese, sizeof chinese,
                   "安装目录中的 %s 不是岚笔的文件，可能随岚笔程序运行。"
                   "按“确定”仍然安装，按“取消”退出安装（不作改动）。",
                   check.name);
        FormatText(english, sizeof english,
                   "%s here is not part of Tesso and could run with its programs. OK installs anyway; "
                   "Cancel quits, changing nothing.",
                   check.name);
        break;
    }
    if (ShowMessage(chinese, english, kMessageOkCancel, dialog) == IDC_CONFIRM)
        return 1;
    WizardPage = kPageLeave;
    return 0;
}
