#include "wizard/setup_check_win32.h"

#include <windows.h>

#include "base/format_text.h"
#include "base/resource_ids.h"
#include "base/setup_state_win32.h"
#include "install/wizard_window.h"
#include "payload/payload_check.h"
#include "payload/payload_store.h"
#include "wizard/message_box_win32.h"
#include "wizard/wizard_state.h"

// The check runs after the wizard is on the screen, a piece at a time whenever no message waits
// (the 27 MB take some 50 ms now, a few seconds on a Pentium), and the first Next finishes it, so
// nothing is read from a payload, nor written, before every stream has passed. The glyph font,
// needed to draw the wizard, is checked on its own before it is loaded.

namespace {

const char kDamagedChinese[] = "安装程序文件已损坏，无法安装。请重新获取安装程序。";
const char kDamagedEnglish[] = "The setup file is damaged and cannot install. Please obtain the setup again.";

PayloadCheckRun CheckRun;
int DamageReported;

void ReportDamage() {
    if (DamageReported)
        return;
    DamageReported = 1;
    ShowMessage(kDamagedChinese, kDamagedEnglish, kMessageOk, WizardWindow);
    WizardPage = kPageLeave;
}

}  // namespace

// Without its font the setup cannot draw its own box: the system's box shows both texts.
int GlyphFontIntact() {
    if (PayloadIntact(kPayloadGlyphFont))
        return 1;
    char text[256];
    FormatText(text, sizeof text, "%s\n\n%s", kDamagedEnglish, kDamagedChinese);
    MessageBoxA(nullptr, text, WIZARD_CAPTION, MB_OK | MB_ICONERROR);
    return 0;
}

int ContinueSetupCheck() {
    if (CheckNextPayload(&CheckRun))
        return 1;
    if (CheckRun.damaged)
        ReportDamage();
    return 0;
}

int FinishSetupCheck() {
    while (CheckNextPayload(&CheckRun)) {
    }
    if (CheckRun.damaged)
        ReportDamage();
    return !CheckRun.damaged;
}

int SetupDamageFound() { return CheckRun.damaged != 0; }
