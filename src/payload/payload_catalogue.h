// The payloads the setup installs: id, installed name and protective attributes. The table is
// written from resources/payloads.tsv by the payload generator (tools/make_payloads.cpp) in the run
// that packs the payloads, so the two always agree.
#pragma once

struct PayloadEntry {
    unsigned short id;
    const char *file;
    int readOnly;
    int hidden;
    unsigned long bytes;  // inflated size
    const char *kind;     // what the file is, as resources/payloads.tsv names it (exe, dll, html...)
};

extern const PayloadEntry PayloadCatalogue[];
extern const int PayloadCatalogueCount;

// The catalogue row of an installed payload, or null for an id that is never installed.
const PayloadEntry *FindPayloadEntry(int id);
