// Which installed files are programs: they get an access list of their own on the NT family.
#pragma once

#include "payload/payload_catalogue.h"

// Whether files of this kind (the kind column of resources/payloads.tsv) are code.
int IsProgramKind(const char *kind);

// The catalogue row whose installed name is name, or null. Only the letters A to Z are compared
// without their case: every name in the catalogue is ASCII. (A file system's own case table may
// fold a few other letters onto ASCII ones; such a name is then taken for a foreign file, which
// only asks the user once more.)
const PayloadEntry *FindPayloadEntryByName(const char *name);

// The read-only and hidden bits the payload list gives a file.
unsigned long ListedProtection(const PayloadEntry *entry);
