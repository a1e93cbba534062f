#include "landing/program_files.h"

#include "base/path_text.h"
#include "landing/file_system.h"

namespace {

// Code, by kind: what the system runs or loads (executables, DLLs), and compiled help, whose pages
// run scripts and embedded controls with the rights of whoever opens them. HTML pages, images,
// texts and the product's dictionaries are data: a changed one can mislead, not take over another
// user's session. Kinds with a size after a colon ("bmp:828:516:1") are never code.
const char *const kProgramKinds[] = {"exe", "dll", "chm"};

// A to Z only (see FindPayloadEntryByName).
int SameName(const char *a, const char *b) {
    for (; *a && *b; a++, b++)
        if (FoldAsciiCase(*a) != FoldAsciiCase(*b))
            return 0;
    return *a == *b;
}

int SameText(const char *a, const char *b) {
    for (; *a && *a == *b; a++, b++) {
    }
    return *a == *b;
}

}  // namespace

int IsProgramKind(const char *kind) {
    for (const char *program : kProgramKinds)
        if (SameText(kind, program))
            return 1;
    return 0;
}

const PayloadEntry *FindPayloadEntryByName(const char *name) {
    for (int i = 0; i < PayloadCatalogueCount; i++)
        if (SameName(PayloadFile(&PayloadCatalogue[i]), name))
            return &PayloadCatalogue[i];
    return nullptr;
}

unsigned long ListedProtection(const PayloadEntry *entry) {
    return (entry->readOnly ? kAttributeReadOnly : 0ul) | (entry->hidden ? kAttributeHidden : 0ul);
}
