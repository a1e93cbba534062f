// Embedded payloads: each is one zlib stream, found by its integer id (on Windows inside the one
// resource that holds every stream, src/payload/payload_store_win32.cpp).
#pragma once

#include "payload/payload_catalogue.h"

enum { kPayloadOk = 0 };

// Payloads the setup itself reads, besides installing them.
enum : unsigned short {
    kPayloadGlyphFont = kPayloadChnBmpBin,
    kPayloadConfigFile = kPayloadChipaduiIni,
    kPayloadLicenceChinese = kPayloadLicenseCnTxt,
    kPayloadLicenceEnglish = kPayloadLicenseEnTxt,
};

// Inflates payload `id` into `buffer` (at most `capacity` bytes). Returns zlib's status: 0 on
// success, with the inflated length in *produced; -2 when there is no such payload.
int UnpackPayload(unsigned short id, unsigned char *buffer, unsigned long capacity, unsigned long *produced);

// What unpacking payloads into files needs, made once for a whole install: one inflate state,
// reset for each payload, and the block each piece is inflated into before it is written. The
// payload is never held whole: memory stays at the block's size whatever the file's.
struct PayloadInflater;
enum { kInflateBlockSize = 512 * 1024 };
PayloadInflater *CreatePayloadInflater();  // null when there is no memory for it
void DestroyPayloadInflater(PayloadInflater *inflater);

// Inflates payload id a block at a time: BeginPayload finds its stream and checks its header (0 =
// no such payload, or not a zlib stream); each NextPayloadBlock inflates the next block into the
// inflater and gives its bytes (*count of them at *block; the last may be empty). It returns 1
// with a block, 0 once the stream has ended properly, -1 when it is damaged or cut short.
int BeginPayload(PayloadInflater *inflater, unsigned short id);
int NextPayloadBlock(PayloadInflater *inflater, const unsigned char **block, unsigned long *count);

// Platform lookup of the packed stream of a payload; no copy is made. Returns 0 when missing.
int FindPayloadStream(unsigned short id, const unsigned char **stream, unsigned long *size);
