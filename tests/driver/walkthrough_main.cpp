// Walks the real setup through a whole install, saving a screenshot of every page, of the
// folder chooser and message boxes, and of the result (into TESSO_SCREENSHOTS).
#include <cstdio>

#include "base/resource_ids.h"
#include "wizard_walk.h"

using namespace driver;

namespace {

int Fail(Setup *setup, const char *what) {
    std::printf("walkthrough: %s\n", what);
    WaitForExit(setup, 100);
    return 1;
}

}  // namespace

int main() {
    Setup setup;
    if (!StartSetup(&setup))
        return Fail(&setup, "the wizard did not appear");
    HWND wizard = setup.wizard;
    SaveScreenshot(wizard, "1-folder-and-options");
    Click(Control(wizard, IDC_BROWSE));
    HWND chooser = WaitForWindow(setup.process.dwProcessId, kChooserCaption);
    if (chooser) {
        Sleep(300);
        SaveScreenshot(chooser, "2-folder-chooser");
        Click(Control(chooser, IDCANCEL));
    }
    if (!GoNext(wizard, kByClick, 1))
        return Fail(&setup, "page 1 did not appear");
    SaveScreenshot(wizard, "3-display-test");
    GoNext(wizard, kByClick, -1);
    if (HWND box = WaitForMessage(setup)) {
        SaveScreenshot(box, "4-please-answer");
        AnswerMessage(box, IDC_CONFIRM);
    }
    Click(Control(wizard, IDC_ANSWER_OK));
    SaveScreenshot(wizard, "5-display-answered");
    if (!GoNext(wizard, kByClick, 2))
        return Fail(&setup, "page 2 did not appear");
    SaveScreenshot(wizard, "6-licence-chinese");
    Click(Control(wizard, IDC_ENGLISH_LICENCE));
    SaveScreenshot(wizard, "7-licence-english");
    if (!GoNext(wizard, kByClick, 3))
        return Fail(&setup, "page 3 did not appear");
    SaveScreenshot(wizard, "8-interface-language");
    InstallRun run = FinishInstall(&setup, kByClick, IDC_YES_BUTTON, "9");
    std::printf("walkthrough: %s (exit code %d)\n", run.finished ? run.result.c_str() : "no result message",
                run.exitCode);
    return run.finished && run.exitCode == 0 ? 0 : 1;
}
