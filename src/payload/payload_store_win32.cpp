#include <windows.h>

#include "base/setup_state_win32.h"
#include "payload/payload_store.h"

// Payloads are resources of the named type "TEXT"; the language entry is irrelevant.
int FindPayloadStream(unsigned short id, const unsigned char **stream, unsigned long *size) {
    HRSRC resource = FindResourceA(ProgramInstance, MAKEINTRESOURCEA(id), "TEXT");
    HGLOBAL loaded = resource ? LoadResource(ProgramInstance, resource) : nullptr;
    *stream = loaded ? static_cast<const unsigned char *>(LockResource(loaded)) : nullptr;
    *size = *stream ? SizeofResource(ProgramInstance, resource) : 0;
    return *stream != nullptr;
}
