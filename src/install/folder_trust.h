// What is checked of an install folder that exists before the install: whoever owns it, and any
// code in it that the product does not bring, could later change or stand in for the programs
// installed there.
#pragma once

#include "base/setup_state.h"

// Whether a name beside the programs is code the system would take for theirs: a DLL or driver the
// loader finds in a program's folder before the system folder, an executable a program starts by
// its bare name, a manifest or ".local" redirection of a program's DLLs. Names the product
// installs are not counted. The endings and the product's names are ASCII, so the case of the
// letters A to Z is all that is ignored.
int IsForeignCodeName(const char *name);

enum FolderTrustProblem {
    kFolderTrusted,       // new, or owned by the administrators and holding no foreign code
    kFolderForeignOwner,  // owned by another user, or cannot be read or listed
    kFolderOwnedByUser,   // Vista and later: owned by the installing user, whose unelevated
                          // programs could change it
    kFolderForeignCode,   // holds foreign code (the first one found is named)
};

struct FolderTrustCheck {
    int problem;
    char name[kPathBufferSize];  // kFolderForeignCode: the name of what was found
};

// Checks the folder (a path that need not exist, or may be a file, which the install reports later).
FolderTrustCheck CheckFolderTrust(const char *folder);
