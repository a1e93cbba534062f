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

// Unpacks a payload and writes it as an installed file (into InstallDir unless fullPath is given).
// Returns 1 when the whole file was written, 0 when unpacking or writing failed.
int ExtractPayloadToFile(unsigned short id, const char *fileName, unsigned char *buffer,
                         unsigned long capacity, int readOnly, int hidden, const char *fullPath);

// Platform lookup of the packed stream of a payload; no copy is made. Returns 0 when missing.
int FindPayloadStream(unsigned short id, const unsigned char **stream, unsigned long *size);
