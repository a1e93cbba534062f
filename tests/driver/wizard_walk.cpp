#include "wizard_walk.h"

#include "base/resource_ids.h"

namespace driver {

namespace {

const int kPageMarker[] = {IDC_FOLDER, IDC_QUESTION, IDC_ENGLISH_LICENCE, IDC_LANGUAGE_LIST};

struct PageWait {
    HWND wizard;
    int page;
};

bool PageShown(void *context) {
    PageWait *wait = static_cast<PageWait *>(context);
    for (int page = 0; page < 4; page++)
        if (IsShown(wait->wizard, kPageMarker[page]) != (page == wait->page))
            return false;
    return true;
}

bool Gone(void *window) {
    return !IsWindow(static_cast<HWND>(window)) || !IsWindowVisible(static_cast<HWND>(window));
}

}  // namespace

bool WaitForPage(HWND wizard, int page, int timeoutMs) {
    PageWait wait = {wizard, page};
    if (!WaitUntil(PageShown, &wait, timeoutMs))
        return false;
    Sleep(300);  // the page's controls paint themselves once shown
    return true;
}

bool GoNext(HWND wizard, How how, int expectPage) {
    if (how == kByClick)
        Click(Control(wizard, IDC_NEXT));
    else
        Key(VK_RETURN);
    return expectPage < 0 || WaitForPage(wizard, expectPage);
}

bool GoBack(HWND wizard, int expectPage) {
    Click(Control(wizard, IDC_BACK));
    return WaitForPage(wizard, expectPage);
}

HWND WaitForMessage(const Setup &setup, int timeoutMs) {
    HWND box = WaitForWindow(setup.process.dwProcessId, kMessageCaption, timeoutMs);
    if (box)
        Sleep(200);
    return box;
}

std::string MessageEnglish(HWND box) { return Text(box, IDC_MESSAGE_ENGLISH); }

bool AnswerMessage(HWND box, int button) {
    Click(Control(box, button));
    return WaitUntil(Gone, box, 5000);
}

std::string AnswerNextMessage(const Setup &setup, int button, int timeoutMs) {
    HWND box = WaitForMessage(setup, timeoutMs);
    if (!box)
        return "(no message)";
    std::string english = MessageEnglish(box);
    AnswerMessage(box, button);
    return english;
}

bool WalkToInstall(Setup *setup, const std::string &folder, const std::string &exe) {
    if (!StartSetup(setup, exe))
        return false;
    SetText(setup->wizard, IDC_FOLDER, folder);
    if (!GoNext(setup->wizard, kByClick, 1))
        return false;
    Click(Control(setup->wizard, IDC_ANSWER_OK));
    if (!GoNext(setup->wizard, kByClick, 2) || !GoNext(setup->wizard, kByClick, 3))
        return false;
    Click(Control(setup->wizard, IDC_NEXT));
    return true;
}

int ChosenLanguage(HWND wizard) {
    HWND list = Control(wizard, IDC_LANGUAGE_LIST);
    LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
    return static_cast<int>(SendMessageA(list, CB_GETITEMDATA, selected, 0));
}

bool ChooseLanguage(HWND wizard, int language) {
    HWND list = Control(wizard, IDC_LANGUAGE_LIST);
    Focus(list);
    Key(VK_HOME);
    for (int step = 0; step < 3 && ChosenLanguage(wizard) != language; step++)
        Key(VK_DOWN);
    return ChosenLanguage(wizard) == language;
}

InstallRun FinishInstall(Setup *setup, How how, int wordBaseAnswer, const std::string &shotPrefix) {
    InstallRun run;
    // The install begins once the click or key is taken: the clock starts no later than that.
    DWORD start = how == kByClick ? Click(Control(setup->wizard, IDC_NEXT)) : Key(VK_RETURN);
    for (;;) {
        HWND box = WaitForMessage(*setup, 30000);
        if (!box)
            break;
        std::string english = MessageEnglish(box);
        if (english == kOwnerQuestion) {
            run.ownerQuestions++;
            AnswerMessage(box, IDC_CONFIRM);
            continue;
        }
        bool question = english.find("Old CiKu") != std::string::npos;
        if (!shotPrefix.empty())
            SaveScreenshot(question ? box : setup->wizard,
                           shotPrefix + (question ? "-word-base" : "-installed"));
        if (!question) {
            run.secondsToResult = (GetTickCount() - start) / 1000.0;
            run.result = english;
            if (!shotPrefix.empty())
                SaveScreenshot(box, shotPrefix + "-result");
            run.finished = AnswerMessage(box, IDC_CONFIRM);
            break;
        }
        AnswerMessage(box, wordBaseAnswer);
    }
    run.exitCode = WaitForExit(setup);
    return run;
}

}  // namespace driver
