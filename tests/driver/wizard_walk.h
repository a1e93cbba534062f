// Walking the real wizard: pages, answers, messages and the install, as a user does it.
#pragma once

#include <string>

#include "base/resource_ids.h"
#include "wizard_driver.h"

namespace driver {

enum How { kByClick, kByEnter };

// Waits until the control group of a page (0-3) is on the screen.
bool WaitForPage(HWND wizard, int page, int timeoutMs = 5000);
// Next (a click on Next, or Enter with the focus where it is), then waits for `expectPage`.
bool GoNext(HWND wizard, How how, int expectPage);
bool GoBack(HWND wizard, int expectPage);

// A bilingual message box of the setup, waited for; its English line.
HWND WaitForMessage(const Setup &setup, int timeoutMs = 10000);
std::string MessageEnglish(HWND box);
// Clicks one of its buttons (IDC_CONFIRM, IDC_YES_BUTTON, IDC_NO_BUTTON) and waits for it to close.
bool AnswerMessage(HWND box, int button);

// The English line of the next message box (waited for), which is then answered with `button`;
// "(no message)" when none came.
std::string AnswerNextMessage(const Setup &setup, int button = IDC_CONFIRM, int timeoutMs = 20000);

// Starts the setup (`exe`, or TESSO_SETUP_EXE), types the folder, answers the display question
// and clicks through to the final Next. False when a page did not come.
bool WalkToInstall(Setup *setup, const std::string &folder, const std::string &exe = "");

// Picks the interface language (0 English, 1 Simplified, 2 Traditional) with the arrow keys.
bool ChooseLanguage(HWND wizard, int language);
int ChosenLanguage(HWND wizard);

// Asked from Vista on before an install into a folder that exists already and that the installing
// user owns. Under Wine every folder belongs to the user who made it (an elevated setup's own
// folders belong to Administrators on Vista and later), so a setup that sees Vista or later, as
// the 64-bit prefix's does, asks it about every existing folder.
const char kOwnerQuestion[] =
    "This folder is yours, so programs you run unelevated could change it. OK installs "
    "anyway; Cancel quits, changing nothing.";

struct InstallRun {
    int ownerQuestions = 0;      // kOwnerQuestion, answered OK
    bool finished = false;       // the result message appeared and was answered
    std::string result;          // its English text
    double secondsToResult = 0;  // from the final Next's click or key to the result message
    int exitCode = -1;
};
// Final Next on page 3 and everything after it; screenshots are named with `shotPrefix` when
// not empty. Word-base questions are answered with `wordBaseAnswer` (IDC_YES_BUTTON or IDC_NO_BUTTON),
// the owner question with OK.
InstallRun FinishInstall(Setup *setup, How how, int wordBaseAnswer = IDC_YES_BUTTON,
                         const std::string &shotPrefix = "");

}  // namespace driver
