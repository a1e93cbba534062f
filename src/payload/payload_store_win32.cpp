#include <windows.h>

#include "base/resource_ids.h"
#include "base/setup_state_win32.h"
#include "payload/payload_check.h"
#include "payload/payload_store.h"

// The packed streams are one resource of the named type "TEXT" (the language entry is irrelevant),
// one stream after another in the order of the table of their checks: a resource of its own for
// each would cost a resource directory entry for each, and the table already holds every size.
// A stream is found only when it lies wholly inside the resource; its bytes are checked against
// its CRC-32 before anything is read from it (payload/payload_check.h).
int FindPayloadStream(unsigned short id, const unsigned char **stream, unsigned long *size) {
    *stream = nullptr;
    *size = 0;
    HRSRC resource = FindResourceA(ProgramInstance, MAKEINTRESOURCEA(IDR_PAYLOAD_STREAMS), "TEXT");
    HGLOBAL loaded = resource ? LoadResource(ProgramInstance, resource) : nullptr;
    const unsigned char *streams =
        loaded ? static_cast<const unsigned char *>(LockResource(loaded)) : nullptr;
    if (!streams)
        return 0;
    unsigned long total = SizeofResource(ProgramInstance, resource), at = 0;
    for (int i = 0; i < PayloadCheckCount; i++) {
        unsigned long bytes = PayloadChecks[i].packedBytes;
        if (bytes > total - at)
            return 0;
        if (PayloadChecks[i].id == id) {
            *stream = streams + at;
            *size = bytes;
            return 1;
        }
        at += bytes;
    }
    return 0;
}
