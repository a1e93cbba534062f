// The install as tables: its steps in install order, and the old user dictionaries it removes.
#pragma once

struct InstallStep {
    int checkpoint;            // progress position set before this step; 0 = none
    unsigned short payloadId;  // 0 = a checkpoint without extraction
    int required;              // a failing required step ends the install
    int skippedWhenKept;       // not run when the old word base is kept
};

extern const InstallStep InstallSteps[];
extern const int InstallStepCount;

// The 64 names the purge deletes, in order, each "%s\<name>" with InstallDir.
int PurgeFileName(int index, char *name, unsigned size);
enum { kPurgeCount = 64 };
