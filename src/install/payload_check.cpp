#include "install/payload_check.h"

#include <zlib.h>

#include "install/payload_store.h"

const PayloadCheck PayloadChecks[] = {
#include "payload_checks.inc"
};
const int PayloadCheckCount = sizeof PayloadChecks / sizeof PayloadChecks[0];

static int StreamIntact(const PayloadCheck &check) {
    const unsigned char *stream = nullptr;
    unsigned long size = 0;
    return FindPayloadStream(check.id, &stream, &size) && size == check.packedBytes &&
           crc32(0, stream, static_cast<uInt>(size)) == check.crc32;
}

int CheckNextPayload(PayloadCheckRun *run) {
    if (run->damaged || run->next >= PayloadCheckCount)
        return 0;
    const PayloadCheck &check = PayloadChecks[run->next++];
    if (!StreamIntact(check))
        run->damaged = check.id;
    return !run->damaged && run->next < PayloadCheckCount;
}

int PayloadIntact(unsigned short id) {
    for (int i = 0; i < PayloadCheckCount; i++) {
        if (PayloadChecks[i].id == id)
            return StreamIntact(PayloadChecks[i]);
    }
    return 0;
}

unsigned short FirstDamagedPayload() {
    PayloadCheckRun run = {};
    while (CheckNextPayload(&run)) {
    }
    return run.damaged;
}
