// Embedded payloads: each is one zlib stream stored under the resource type "TEXT" and an integer id.
#pragma once

enum { kPayloadOk = 0 };

// Payloads the setup itself reads, besides installing them.
enum : unsigned short {
    kPayloadGlyphFont = 110,
    kPayloadConfigFile = 120,
    kPayloadLicenceChinese = 163,
    kPayloadLicenceEnglish = 164,
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

// Unpacks a payload into a new file at path, its staged name (nothing may be there), with no
// protection set, and checks that it holds the expected number of bytes. 1 = complete; 0 = nothing
// left at path.
int ExtractPayloadToFile(PayloadInflater *inflater, unsigned short id, const char *path, unsigned long bytes);

// Platform lookup of the packed stream of a payload; no copy is made. Returns 0 when missing.
int FindPayloadStream(unsigned short id, const unsigned char **stream, unsigned long *size);
