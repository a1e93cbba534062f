// The security descriptor the setup gives each installed program, for the tests that check it.
#pragma once

#include <windows.h>

#include "landing/access_rights.h"

struct ProgramDescriptor {
    SECURITY_DESCRIPTOR descriptor;  // absolute: points at the list below and at a constant owner
    DWORD list[32];                  // the access list, DWORD-aligned as an ACL must be: at most 120
                                     // bytes (a header and five entries of 20 or 24)
};

// Whether the setup's token may name Administrators as an owner (MayNameAdministratorsOwner), read
// from the token at the first question. A test seam as well: it is 0 until then, and a test sets it
// to kTokenCannot to run as an unelevated token would, which Wine never gives.
enum { kTokenCannot = 1, kTokenNamesThem = 2 };
extern int TokenNamesAdministrators;
int TokenMayNameAdministrators();

// Builds it in place (it must not be copied afterwards). 1 = built; 0 on the 95 family, whose
// advapi32 has no working security functions.
int BuildProgramDescriptor(ProgramDescriptor *program);
