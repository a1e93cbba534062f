#include "install/install_checks.h"

#include <cstring>

#include "install/file_placement.h"
#include "install/file_system.h"
#include "install/install_sequence.h"
#include "install/payload_catalogue.h"
#include "setup/malloc_buffer.h"
#include "setup/setup_state.h"

namespace {

const char kRefusedCharacters[] = "<>:\"/|?*";

// The longest name the install puts in the folder: an installed file, a purged one, the temporary
// name or the doc folder.
size_t LongestNameInFolder() {
    size_t longest = kTemporaryNameLength;
    for (int i = 0; i < PayloadCatalogueCount; i++)
        if (std::strlen(PayloadCatalogue[i].file) > longest)
            longest = std::strlen(PayloadCatalogue[i].file);
    for (int i = 0; i < kPurgeCount; i++) {
        char name[32];
        if (PurgeFileName(i, name, sizeof name) && std::strlen(name) > longest)
            longest = std::strlen(name);
    }
    return longest;
}

// One folder name between backslashes: not "." or "..", no refused character, no trailing dot or
// space (Windows would drop them and make another folder than the one typed).
int CheckComponent(const char *start, const char *end) {
    size_t length = end - start;
    if ((length == 1 && start[0] == '.') || (length == 2 && start[0] == '.' && start[1] == '.'))
        return kFolderNotAbsolute;
    if (length > 0 && (end[-1] == '.' || end[-1] == ' '))
        return kFolderBadName;
    for (const char *p = start; p < end; p++) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (IsLeadByte(c) && p + 1 < end) {
            p++;  // its second byte may be any byte, the backslash and '|' included
            continue;
        }
        if (c < 0x20)
            return kFolderBadName;
        for (const char *refused = kRefusedCharacters; *refused; refused++)
            if (c == static_cast<unsigned char>(*refused))
                return kFolderBadName;
    }
    return kFolderOk;
}

// In 32 bits: every file is far below 4 GB, and a 64-bit division would bring in a runtime helper.
unsigned long RoundUp(unsigned long bytes, unsigned long cluster) {
    return cluster ? (bytes + cluster - 1) / cluster * cluster : bytes;
}

}  // namespace

int CheckFolderName(const char *folder, unsigned long typedLength) {
    size_t length = std::strlen(folder);
    if (typedLength > length || typedLength >= kPathBufferSize)
        return kFolderTooLong;
    int letter = (folder[0] | 0x20) >= 'a' && (folder[0] | 0x20) <= 'z';
    if (length < 3 || !letter || folder[1] != ':' || folder[2] != '\\')
        return kFolderNotAbsolute;
    const char *start = folder + 3;
    for (const char *p = start;; p++) {
        if (IsLeadByte(static_cast<unsigned char>(*p)) && p[1]) {
            p++;
            continue;
        }
        if (*p != '\\' && *p != 0)
            continue;
        int problem = CheckComponent(start, p);
        if (problem != kFolderOk)
            return problem;
        if (*p == 0)
            break;
        start = p + 1;
    }
    if (length + 1 + LongestNameInFolder() > kPathBufferSize - 1)
        return kFolderTooLong;
    return kFolderOk;
}

unsigned long long SpaceNeeded(const long *existingBytes, unsigned long clusterBytes) {
    unsigned long long needed = 0, replaced = 0, largest = 0;
    for (int i = 0; i < PayloadCatalogueCount; i++) {
        unsigned long long bytes = RoundUp(PayloadCatalogue[i].bytes, clusterBytes);
        needed += bytes;
        if (bytes > largest)
            largest = bytes;
        if (existingBytes[i] >= 0)
            replaced += RoundUp(static_cast<unsigned long>(existingBytes[i]), clusterBytes);
    }
    // The temporary copy of the file being written, the configuration's appended lines and the
    // doc folder.
    needed += largest + 2 * RoundUp(1, clusterBytes);
    return needed > replaced ? needed - replaced : 0;
}

TargetCheck CheckInstallTargets() {
    TargetCheck check = {kTargetsReady, nullptr, 0, 0};
    MallocBuffer<long> existing = AllocateBuffer<long>(PayloadCatalogueCount * sizeof(long));
    if (!existing)
        return check;  // the install itself will report the lack of memory
    for (int i = 0; i < PayloadCatalogueCount; i++) {
        char path[kPathBufferSize];
        existing.get()[i] = JoinPath(path, InstallDir, PayloadCatalogue[i].file) ? FileBytes(path) : -1;
        if (existing.get()[i] >= 0 && FileInUse(path)) {
            check.problem = kTargetInUse;
            check.file = PayloadCatalogue[i].file;
            return check;
        }
    }
    static char purged[32];
    for (int i = 0; i < kPurgeCount; i++) {
        char path[kPathBufferSize];
        if (PurgeFileName(i, purged, sizeof purged) && JoinPath(path, InstallDir, purged) &&
            FileInUse(path)) {
            check.problem = kTargetInUse;
            check.file = purged;
            return check;
        }
    }
    unsigned long long freeBytes = 0;
    unsigned long cluster = 0;
    if (!FreeDiskSpace(InstallDir, &freeBytes, &cluster))
        return check;  // unknown: the writes themselves will tell
    unsigned long long needed = SpaceNeeded(existing.get(), cluster);
    if (needed > freeBytes) {
        check.problem = kDiskTooSmall;
        check.neededKb = static_cast<unsigned long>((needed + 1023) >> 10);
        check.freeKb = static_cast<unsigned long>(freeBytes >> 10);
    }
    return check;
}
