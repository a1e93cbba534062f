// Which installed files are programs: they get an access list of their own on the NT family.
#pragma once

#include "install/payload_catalogue.h"

// Whether files of this kind (the kind column of resources/payloads.tsv) are code.
int IsProgramKind(const char *kind);

// The catalogue row whose installed name is name, or null. Only the letters A to Z are compared
// without their case: every name in the catalogue is ASCII. (A file system's own case table may
// fold a few other letters onto ASCII ones; such a name is then taken for a foreign file, which
// only asks the user once more.)
const PayloadEntry *FindPayloadEntryByName(const char *name);

// The read-only and hidden bits the payload list gives a file.
unsigned long ListedProtection(const PayloadEntry *entry);

// For a file the install writes to target, its bytes in written (target itself, or the temporary
// file that will take its place): when target names a program, written gets the programs' access
// list. Called while the install's exclusive handle on written is still open, so that no other
// program can have opened it with the rights it inherited. 1 = done, or not a program.
int ProtectIfProgram(const char *target, const char *written);
