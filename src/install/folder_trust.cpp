#include "install/folder_trust.h"

#include "base/format_text.h"
#include "base/path_text.h"
#include "base/scoped.h"
#include "landing/access_rights.h"
#include "landing/file_system.h"
#include "landing/program_files.h"

namespace {

// What the system runs or loads from a program's own folder by name. ".drv", ".ocx" and ".cpl" are
// DLLs under other names that programs import (winspool.drv is one); ".manifest" and ".local" are
// the side-by-side and DLL redirection files (XP and later; 2000 reads ".local" too), and a
// ".local" is usually a folder.
const char *const kForeignCodeEndings[] = {".dll", ".exe", ".drv", ".ocx", ".cpl", ".manifest", ".local"};

int EndsWith(const char *name, const char *ending) {
    size_t nameLength = 0, endingLength = 0;
    while (name[nameLength])
        nameLength++;
    while (ending[endingLength])
        endingLength++;
    if (nameLength <= endingLength)
        return 0;  // ".dll" alone names nothing a program loads
    const char *tail = name + nameLength - endingLength;
    for (size_t i = 0; i < endingLength; i++)
        if (FoldAsciiCase(tail[i]) != ending[i])  // every ending above is ASCII
            return 0;
    return 1;
}

}  // namespace

int IsForeignCodeName(const char *name) {
    if (FindPayloadEntryByName(name))
        return 0;
    for (const char *ending : kForeignCodeEndings)
        if (EndsWith(name, ending))
            return 1;
    return 0;
}

FolderTrustCheck CheckFolderTrust(const char *folder) {
    FolderTrustCheck check = {kFolderTrusted, ""};
    unsigned long word = 0;
    if (!ReadAttributeWord(folder, &word) || !(word & kAttributeDirectory))
        return check;  // the install makes it (or says that it cannot)
    int owner = FolderOwnerTrusted(folder);
    if (owner != kOwnerTrusted) {
        check.problem = owner == kOwnerRunningUser ? kFolderOwnedByUser : kFolderForeignOwner;
        return check;
    }
    Owned<FolderListing, CloseFolderListing> listing(OpenFolderListing(folder));
    if (!listing) {
        check.problem = kFolderForeignOwner;
        return check;
    }
    while (const char *name = NextListedName(listing.get())) {
        if (IsForeignCodeName(name)) {
            check.problem = kFolderForeignCode;
            FormatText(check.name, sizeof check.name, "%s", name);
            break;
        }
    }
    return check;
}
