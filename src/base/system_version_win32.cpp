#include <windows.h>

#include "base/system_version.h"

// GetVersionExA is in every Windows from 95 and NT 3.1 on and never fails with the size set. From
// 8.1 on it reports no more than the manifest declares (the setup's declares up to 10); Vista
// reports 6.0 whatever the manifest says.
int ReadRunningSystem(unsigned long *platformId) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;  // 148 bytes
    if (!GetVersionExA(&version)) {
        RunningSystem = SystemVersion{0, 0, 0};
        *platformId = 0;
        return 0;
    }
    // The 95 family keeps its version in the build number's high word; NT's is the build alone.
    RunningSystem =
        SystemVersion{version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber & 0xFFFF};
    *platformId = version.dwPlatformId;
    return 1;
}
