// src/payload/: the files the setup carries, as its own format. The catalogue of installed files,
// the packed streams and their inflating, and the check of those streams; the wizard and the
// install read them, neither writes them.
//
// The payloads the setup installs: id, installed name and protective attributes. The table is
// written from resources/payloads.tsv by the payload generator (tools/make_payloads.cpp) in the run
// that packs the payloads, so the two always agree.
#pragma once

// 16 bytes a row on the 32-bit build (the flags beside the id, where ints would make it 24).
struct PayloadEntry {
    unsigned short id;
    unsigned char readOnly;
    unsigned char hidden;
    const char *file;
    unsigned long bytes;  // inflated size
    const char *kind;     // what the file is, as resources/payloads.tsv names it (exe, dll, html...)
};

// The ids of the installed payloads, named for their files (TSO.exe is kPayloadTsoExe).
enum : unsigned short {
#include "payload_ids.inc"
};

extern const PayloadEntry PayloadCatalogue[];
extern const int PayloadCatalogueCount;

// The catalogue row of an installed payload, or null for an id that is never installed.
const PayloadEntry *FindPayloadEntry(int id);
