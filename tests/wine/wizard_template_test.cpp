// The wizard made in two steps, its first page and then the controls that start hidden, has the
// very controls that the dialog manager makes from the whole template: the same ids, classes,
// places, styles and tab order.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/resource_ids.h"
#include "base/setup_state_win32.h"
#include "wizard/wizard_template_win32.h"

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// The controls in tab order, each as one line.
std::vector<std::string> Controls(HWND dialog) {
    std::vector<std::string> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT box;
        GetWindowRect(child, &box);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&box), 2);
        char className[64] = "", line[256];
        GetClassNameA(child, className, sizeof className);
        std::snprintf(line, sizeof line, "%d %s (%ld,%ld)-(%ld,%ld) style %lx extended %lx",
                      GetDlgCtrlID(child), className, box.left, box.top, box.right, box.bottom,
                      static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)),
                      static_cast<unsigned long>(GetWindowLongA(child, GWL_EXSTYLE)));
        controls.push_back(line);
    }
    return controls;
}

TEST(WizardTemplate, ControlsMadeLaterAreThoseOfTheWholeTemplate) {
    HWND whole =
        CreateDialogParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_WIZARD), nullptr, PlainDialogProc, 0);
    HWND stepwise = CreateWizardWithShownControls(PlainDialogProc);
    ASSERT_NE(whole, nullptr);
    ASSERT_NE(stepwise, nullptr);
    size_t shown = Controls(stepwise).size();
    ASSERT_EQ(CreateHiddenControls(stepwise, Scale{1, 1}), 1);
    EXPECT_LT(shown, Controls(stepwise).size());
    EXPECT_EQ(Controls(stepwise), Controls(whole));
    DestroyWindow(stepwise);
    DestroyWindow(whole);
}

}  // namespace
