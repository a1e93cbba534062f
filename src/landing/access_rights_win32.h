// The security descriptor the setup gives each installed program, for the tests that check it.
#pragma once

#include <windows.h>

#include "landing/access_rights.h"

struct ProgramDescriptor {
    SECURITY_DESCRIPTOR descriptor;  // absolute: points at the list below and at a constant owner
    DWORD list[32];                  // the access list, DWORD-aligned as an ACL must be: at most 120
                                     // bytes (a header and five entries of 20 or 24)
};

// The running system's version as GetVersionExA reports it (NT 4.0 when it cannot say).
SystemVersion RunningSystemVersion();

// Builds it in place (it must not be copied afterwards). 1 = built; 0 on the 95 family, whose
// advapi32 has no working security functions.
int BuildProgramDescriptor(ProgramDescriptor *program);
