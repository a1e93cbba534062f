// The install as tables: its steps in install order, the old user dictionaries it removes and the
// shortcuts it makes.
#pragma once

#include "install/shortcuts.h"
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

// The 64 names the purge deletes, in order, each "%s\<name>" with InstallDir.
int PurgeFileName(int index, char *name, unsigned size);
enum { kPurgeCount = 64 };

// Every name the install writes or purges, the installed ones in catalogue order, then the purged
// ones: test is called with each until it returns nonzero, and that name is returned (a purged
// name stays valid until the next walk), or null when none.
template <class Test> const char *FirstInstallNameWhere(Test test) {
    static char purged[32];
    for (int i = 0; i < PayloadCatalogueCount; i++)
        if (test(PayloadCatalogue[i].file))
            return PayloadCatalogue[i].file;
    for (int i = 0; i < kPurgeCount; i++)
        if (PurgeFileName(i, purged, sizeof purged) && test(purged))
            return purged;
    return nullptr;
}

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
