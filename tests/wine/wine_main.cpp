// Entry of the Windows-side test programs: the payloads and dialogs are in this module.
#include <gtest/gtest.h>
#include <windows.h>

#include "setup/setup_state_win32.h"

int main(int argc, char **argv) {
    ProgramInstance = GetModuleHandleA(nullptr);
    ProductFolderName = "Tesso";
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
