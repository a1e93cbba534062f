// The names the install may touch in its folder: the catalogue's installed files and the old user
// dictionaries it purges. The commit and the recovery act on no other name.
#pragma once

#include "payload/payload_catalogue.h"

// The 64 names the purge deletes, in order, each "%s\<name>" with InstallDir.
int PurgeFileName(int index, char *name, unsigned size);
enum { kPurgeCount = 64 };

// Every name the install writes or purges, the installed ones in catalogue order, then the purged
// ones: test is called with each until it returns nonzero, and that name is returned (a purged
// name stays valid until the next walk), or null when none.
template <class Test> const char *FirstInstallNameWhere(Test test) {
    static char purged[32];
    for (int i = 0; i < PayloadCatalogueCount; i++)
        if (test(PayloadFile(&PayloadCatalogue[i])))
            return PayloadFile(&PayloadCatalogue[i]);
    for (int i = 0; i < kPurgeCount; i++)
        if (PurgeFileName(i, purged, sizeof purged) && test(purged))
            return purged;
    return nullptr;
}
