// The longest time the wizard leaves a message unanswered from the final Next's click to the
// result (the whole install and the wait for the 5-second mark), measured as the system measures
// a hung window: WM_NULL sent again and again from another thread.
// usage: longest_wait <setup.exe>
#include <cstdio>

#include "base/resource_ids.h"
#include "wizard_walk.h"

using namespace driver;

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: longest_wait <setup.exe>\n");
        return 2;
    }
    Setup setup;
    if (!StartSetup(&setup, argv[1]))
        return std::printf("the wizard did not appear\n"), 1;
    SetText(setup.wizard, IDC_FOLDER, FreshFolder("longest-wait") + "\\Tesso");
    bool walked = GoNext(setup.wizard, kByClick, 1);
    if (walked) {
        Click(Control(setup.wizard, IDC_ANSWER_OK));
        walked = GoNext(setup.wizard, kByClick, 2) && GoNext(setup.wizard, kByClick, 3);
    }
    if (!walked) {
        WaitForExit(&setup, 100);
        return std::printf("the wizard did not reach its last page\n"), 1;
    }
    AnswerWatch watch(setup.wizard);
    InstallRun run = FinishInstall(&setup, kByClick);
    watch.Stop();
    if (!run.finished)
        return std::printf("the install did not show its result\n"), 1;
    std::printf("longest unanswered message from the install's click to its result: %.0f ms, over %d answers "
                "in %.1f s (goal 500 or below)\n",
                watch.LongestMs(), watch.Answers(), run.secondsToResult);
    return 0;
}
