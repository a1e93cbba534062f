#include "landing/program_files.h"

#include "landing/access_rights.h"
#include <cstring>

#include "base/format_text.h"
#include "base/path_text.h"
#include "landing/file_system.h"
#include "landing/journal.h"
#include "landing/work_folder.h"

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
        if (SameName(PayloadCatalogue[i].file, name))
            return &PayloadCatalogue[i];
    return nullptr;
}

unsigned long ListedProtection(const PayloadEntry *entry) {
    return (entry->readOnly ? kAttributeReadOnly : 0ul) | (entry->hidden ? kAttributeHidden : 0ul);
}

// The install writes each file under its staged name in the work folder: the rights go on there,
// before it takes its place (a rename keeps them).
int ProtectIfProgram(const char *stagedPath) {
    const char *separator = LastSeparator(stagedPath);
    char name[kCommitNameSize];
    FormatText(name, sizeof name, "%s", separator ? separator + 1 : stagedPath);
    size_t length = std::strlen(name);
    if (length > kStagedSuffixLength && std::strcmp(name + length - kStagedSuffixLength, kStagedSuffix) == 0)
        name[length - kStagedSuffixLength] = 0;
    const PayloadEntry *entry = FindPayloadEntryByName(name);
    if (!entry || !IsProgramKind(entry->kind))
        return 1;
    return ProtectProgramFile(stagedPath);
}
