#include "payload/payload_check.h"

#include <zlib.h>

#include "payload/payload_store.h"

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
    const PayloadCheck &check = PayloadChecks[run->next];
    const unsigned char *stream = nullptr;
    unsigned long size = 0;
    if (!FindPayloadStream(check.id, &stream, &size) || size != check.packedBytes) {
        run->damaged = check.id;
        return 0;
    }
    unsigned long piece = size - run->checked < kPayloadCheckPiece ? size - run->checked : kPayloadCheckPiece;
    run->crc = crc32(run->crc, stream + run->checked, static_cast<uInt>(piece));
    run->checked += piece;
    if (run->checked == size) {
        if (run->crc != check.crc32) {
            run->damaged = check.id;
            return 0;
        }
        *run = PayloadCheckRun{run->next + 1, 0, 0, 0};
    }
    return run->next < PayloadCheckCount;
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
