// For tests and the benchmark that run the install in their own process: the install as its entry
// runs it, in its work folder, opened before and left after.
#pragma once

#include "install/install_sequence.h"
#include "landing/commit.h"

inline int RunInstallInWorkFolder() {
    int result = OpenWorkFolder() == kWorkFolderReady ? RunInstall() : kInstallFailed;
    LeaveWorkFolder();
    return result;
}
