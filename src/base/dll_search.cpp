#include "base/dll_search.h"

int UsesDefaultDllDirectories(unsigned long majorVersion, unsigned long minorVersion) {
    const unsigned long kVistaMajor = 6, kVistaMinor = 0;
    return !(majorVersion == kVistaMajor && minorVersion == kVistaMinor);
}
