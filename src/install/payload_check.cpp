#include "install/payload_check.h"

#include <zlib.h>

#include "install/payload_store.h"

const PayloadCheck PayloadChecks[] = {
#include "payload_checks.inc"
};
const int PayloadCheckCount = sizeof PayloadChecks / sizeof PayloadChecks[0];

unsigned short FirstDamagedPayload() {
    for (int i = 0; i < PayloadCheckCount; i++) {
        const PayloadCheck &check = PayloadChecks[i];
        const unsigned char *stream = nullptr;
        unsigned long size = 0;
        if (!FindPayloadStream(check.id, &stream, &size) || size != check.packedBytes ||
            crc32(0, stream, static_cast<uInt>(size)) != check.crc32)
            return check.id;
    }
    return 0;
}
