// src/payload/: the files the setup carries, as its own format. The catalogue of installed files,
// the packed streams and their inflating, and the check of those streams; the wizard and the
// install read them, neither writes them.
//
// The payloads the setup installs: id, installed name and protective attributes. The table is
// written from resources/payloads.tsv by the payload generator (tools/make_payloads.cpp) in the run
// that packs the payloads, so the two always agree.
#pragma once

// 12 bytes a row, with no pointer in it: the names and kinds are one text (a pointer per row would
// cost the 32-bit exe a relocation each), read through PayloadFile and PayloadKind.
struct PayloadEntry {
    unsigned short id;
    unsigned char readOnly;
    unsigned char hidden;
    unsigned short fileAt;  // where the installed name begins in PayloadCatalogueText
    unsigned short kindAt;  // where what the file is begins, as resources/payloads.tsv names it (exe, dll...)
    unsigned long bytes;    // inflated size
};

// The ids of the installed payloads, named for their files (TSO.exe is kPayloadTsoExe).
enum : unsigned short {
#include "payload_ids.inc"
};

extern const char PayloadCatalogueText[];
extern const PayloadEntry PayloadCatalogue[];
extern const int PayloadCatalogueCount;

inline const char *PayloadFile(const PayloadEntry *entry) { return PayloadCatalogueText + entry->fileAt; }
inline const char *PayloadKind(const PayloadEntry *entry) { return PayloadCatalogueText + entry->kindAt; }

// The catalogue row of an installed payload, or null for an id that is never installed.
const PayloadEntry *FindPayloadEntry(int id);
