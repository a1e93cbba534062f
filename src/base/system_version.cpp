#include "base/system_version.h"

SystemVersion RunningSystem;

int AtLeast(const SystemVersion &version, const SystemVersion &since) {
    if (version.major != since.major)
        return version.major > since.major;
    if (version.minor != since.minor)
        return version.minor > since.minor;
    return version.build >= since.build;
}

namespace {

int NtAtLeast(unsigned long major, unsigned long minor, unsigned long build) {
    return IsNtPlatform && AtLeast(RunningSystem, SystemVersion{major, minor, build});
}

}  // namespace

int AtLeast2000() { return NtAtLeast(5, 0, 0); }
int AtLeastXp() { return NtAtLeast(5, 1, 0); }
int AtLeastWindows8() { return NtAtLeast(6, 2, 0); }
int AtLeastWindows11() { return NtAtLeast(10, 0, 22000); }
