// The install as tables: its steps in install order and the shortcuts it makes (the names it writes
// and the old user dictionaries it removes are landing/install_names.h).
#pragma once

#include "install/shortcuts.h"
#include "landing/install_names.h"
#include "payload/payload_catalogue.h"

// Six bytes a row (the id first, then single bytes): the table has a row for every file, and ints
// would make each row 16.
struct InstallStep {
    unsigned short payloadId;       // 0 = a checkpoint without extraction
    unsigned char checkpoint;       // progress position (0 to 100) set before this step; 0 = none
    unsigned char required;         // a failing required step ends the install
    unsigned char skippedWhenKept;  // not run when the old word base is kept
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
