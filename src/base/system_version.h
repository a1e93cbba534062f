// The version of the running system, read once at start and asked through named questions, so
// that no other file reads it again or compares numbers of its own.
#pragma once

#include "base/setup_state.h"

// A version as GetVersionExA reports it to the setup (its manifest names every system up to 10, so
// 8.1 and later report themselves instead of 8). The 95 family reports 4.0 (95), 4.10 (98) and
// 4.90 (ME): its numbers are asked about only together with IsNtPlatform.
struct SystemVersion {
    unsigned long major, minor, build;
};

// The running system's version, read by ReadRunningSystem before anything asks (all zero when the
// system would not say, which every question below takes as the oldest system).
extern SystemVersion RunningSystem;

// Reads it (system_version_win32.cpp); 1 = the system said, 0 = it did not. Sets RunningSystem only:
// the start-up sets IsNtPlatform from the platform id it also gives.
int ReadRunningSystem(unsigned long *platformId);

// Whether version is since or later.
int AtLeast(const SystemVersion &version, const SystemVersion &since);

// The named questions about the running system. Each is 0 on the 95 family.
inline int IsNt() { return IsNtPlatform; }
int AtLeast2000();       // NT 5.0: inheritance computed by the system, protected lists
int AtLeastXp();         // NT 5.1
int AtLeastWindows8();   // NT 6.2: app containers
int AtLeastWindows11();  // 10.0.22000: device names with an extension are plain names
