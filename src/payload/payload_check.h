// The setup checks its own data before it touches the disk: every packed payload stream against
// the size and CRC-32 the build recorded.
#pragma once

// 10 bytes a row, where alignment would make it 12: the table is read a row at a time, and an
// x86 reads a value on a 2-byte boundary as it does any other.
#pragma pack(push, 2)
struct PayloadCheck {
    unsigned short id;
    unsigned long packedBytes;
    unsigned long crc32;  // of the packed stream (checking the packed bytes is fast)
};
#pragma pack(pop)

extern const PayloadCheck PayloadChecks[];
extern const int PayloadCheckCount;

// The check run a piece at a time, so that it can go on while the wizard waits for the user.
struct PayloadCheckRun {
    int next;                // index into PayloadChecks of the stream being checked
    unsigned long checked;   // bytes of that stream checked so far
    unsigned long crc;       // their CRC-32
    unsigned short damaged;  // the first damaged payload found; 0 while none is
};

// Checks the next piece of at most kPayloadCheckPiece bytes; 1 while any is left and no stream was
// damaged.
enum { kPayloadCheckPiece = 1 << 20 };
int CheckNextPayload(PayloadCheckRun *run);

// 1 when the stream of this payload is there and as the build recorded it.
int PayloadIntact(unsigned short id);

// The id of the first payload whose stream is missing or differs from the build's; 0 when every
// stream is intact.
unsigned short FirstDamagedPayload();
