// Which installed files are programs: they get an access list of their own on the NT family.
#pragma once

#include "install/payload_catalogue.h"

// Whether files of this kind (the kind column of resources/payloads.tsv) are code.
int IsProgramKind(const char *kind);

// The catalogue row whose installed name is name, or null. Only the letters A to Z are compared
// without their case: Windows folds other letters too, but every name in the catalogue is ASCII,
// so a name with any other letter matches none of them either way.
const PayloadEntry *FindPayloadEntryByName(const char *name);

// For a file the install writes to target, its bytes in written (target itself, or the temporary
// file that will take its place): when target names a program, written gets the programs' access
// list. Called while the install's exclusive handle on written is still open, so that no other
// program can have opened it with the rights it inherited. 1 = done, or not a program.
int ProtectIfProgram(const char *target, const char *written);
