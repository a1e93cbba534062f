// The setup checks its own data before it touches the disk: every packed payload stream against
// the size and CRC-32 the build recorded.
#pragma once

struct PayloadCheck {
    unsigned short id;
    unsigned long packedBytes;
    unsigned long crc32;  // of the packed stream (checking the packed bytes is fast)
};

extern const PayloadCheck PayloadChecks[];
extern const int PayloadCheckCount;

// The id of the first payload whose stream is missing or differs from the build's; 0 when every
// stream is intact.
unsigned short FirstDamagedPayload();
