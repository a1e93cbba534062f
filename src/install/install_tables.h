// The install as tables: its steps in install order and the shortcuts it makes (the names it writes
// and the old user dictionaries it removes are landing/install_names.h).
#pragma once

#include "install/shortcuts.h"
#include "landing/install_names.h"
#include "payload/payload_catalogue.h"

struct InstallStep {
    int checkpoint;            // progress position set before this step; 0 = none
    unsigned short payloadId;  // 0 = a checkpoint without extraction
    int required;              // a failing required step ends the install
    int skippedWhenKept;       // not run when the old word base is kept
};

extern const InstallStep InstallSteps[];
extern const int InstallStepCount;

// The shortcuts, in the order they are made: the program group's always, the desktop's when the
// user asked for desktop icons, the start-up group's when the engine starts with Windows.
enum ShortcutPlace { kInProgramGroup, kOnDesktop, kAtStartUp };
struct ShortcutRow {
    int place;
    const char *ShortcutNames::*name;  // its display name, in the system's language
    const char *targetFile;            // relative to InstallDir
};
enum { kShortcutRowCount = 5 };
extern const ShortcutRow ShortcutRows[kShortcutRowCount];
