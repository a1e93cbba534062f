#include "payload/payload_catalogue.h"

#include "payload_catalogue_table.inc"
const int PayloadCatalogueCount = sizeof PayloadCatalogue / sizeof PayloadCatalogue[0];

const PayloadEntry *FindPayloadEntry(int id) {
    for (int i = 0; i < PayloadCatalogueCount; i++)
        if (PayloadCatalogue[i].id == id)
            return &PayloadCatalogue[i];
    return nullptr;
}
