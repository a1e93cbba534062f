#include "install/install_checks.h"

#include <cstring>

#include "base/format_text.h"
#include "base/path_text.h"
#include "base/setup_state.h"
#include "base/system_version.h"
#include "install/install_tables.h"
#include "install/wizard_window.h"
#include "landing/commit.h"
#include "landing/file_system.h"
#include "payload/payload_catalogue.h"

namespace {

const char kRefusedCharacters[] = "<>:\"/|?*";

// The longest path the install makes below the folder: an installed or purged file under its
// staged or moved-aside name in the work folder, or the work folder's own files.
size_t LongestNameInFolder() {
    size_t longest = sizeof kJournalName - 1;
    for (int i = 0; i < PayloadCatalogueCount; i++)
        if (std::strlen(PayloadFile(&PayloadCatalogue[i])) > longest)
            longest = std::strlen(PayloadFile(&PayloadCatalogue[i]));
    for (int i = 0; i < kPurgeCount; i++) {
        char name[32];
        if (PurgeFileName(i, name, sizeof name) && std::strlen(name) > longest)
            longest = std::strlen(name);
    }
    return longest + kWorkPathExtra;
}

// The names Windows keeps for devices in every folder: "C:\Tesso\NUL" is the null device, not a
// folder. The documented list: CON, PRN, AUX, NUL, COM0 to COM9 and LPT0 to LPT9, where the digit
// may be the superscript ¹, ² or ³ (ISO 8859-1's, which a code page such as 1252 can write); and
// CONIN$ and CONOUT$, the console's input and output (CreateFile). Windows 95 to 10 take such a name
// for the device with any extension too ("nul.txt", "COM1.log", "nul.tar.gz") and with spaces
// before the dot, in any letter case: a folder of such a name cannot be made, nor a file in it
// written. Windows 11 takes a name with an extension as a plain name, but for NUL's, which the list
// still names as the device. Compared in ASCII: the names are.
const char *const kDeviceNames[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
const char *const kNumberedDevices[] = {"COM", "LPT"};  // with a digit from 0 to 9, or ¹ ² ³

int SameAsciiName(const char *start, size_t length, const char *name) {
    size_t i = 0;
    for (; i < length && name[i]; i++)
        if (FoldAsciiCase(start[i]) != FoldAsciiCase(name[i]))
            return 0;
    return i == length && !name[i];
}

int IsDeviceName(const char *start, const char *end) {
    const char *stem = start;
    while (stem < end && *stem != '.')
        stem += PathCharacterBytes(stem);
    if (stem > end)
        stem = end;
    int extended = stem < end;
    while (stem > start && stem[-1] == ' ')
        stem--;
    size_t length = stem - start;
    if (extended && AtLeastWindows11() && !SameAsciiName(start, length, "NUL"))
        return 0;
    for (const char *name : kDeviceNames)
        if (SameAsciiName(start, length, name))
            return 1;
    if (length != 4)
        return 0;
    unsigned char digit = static_cast<unsigned char>(start[3]);
    if (!((digit >= '0' && digit <= '9') || SuperscriptDigit(digit)))
        return 0;
    for (const char *name : kNumberedDevices)
        if (SameAsciiName(start, 3, name))
            return 1;
    return 0;
}

// One folder name between backslashes: not "." or "..", not a device's name, no trailing dot or
// space (Windows would drop them and make another folder than the one typed), no stream (a colon),
// no other refused character.
int CheckComponent(const char *start, const char *end) {
    size_t length = end - start;
    if ((length == 1 && start[0] == '.') || (length == 2 && start[0] == '.' && start[1] == '.'))
        return kFolderDotName;
    if (IsDeviceName(start, end))
        return kFolderDeviceName;
    if (length > 0 && (end[-1] == '.' || end[-1] == ' '))
        return kFolderTrailingDotOrSpace;
    for (const char *p = start; p < end; p++) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (PathCharacterBytes(p) == 2 && p + 1 < end) {
            p++;  // its second byte may be any byte, the backslash and '|' included
            continue;
        }
        if (c == ':')
            return kFolderStreamName;
        if (c < 0x20)
            return kFolderBadName;
        for (const char *refused = kRefusedCharacters; *refused; refused++)
            if (c == static_cast<unsigned char>(*refused))
                return kFolderBadName;
    }
    return kFolderOk;
}

// The forms of path the field does not take, before the drive letter: "\\?\" and "\\.\" (which
// pass a path to the system unchecked), "\??\" (the system's own object names), "\\server\share"
// and a leading space.
int CheckPathForm(const char *folder) {
    if (folder[0] == '\\' && (folder[1] == '\\' || folder[1] == '?') &&
        (folder[2] == '?' || folder[2] == '.') && folder[3] == '\\')
        return kFolderPrefixedPath;
    if (folder[0] == '\\' && folder[1] == '\\')
        return kFolderNetworkPath;
    if (folder[0] == ' ')
        return kFolderLeadingSpace;
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
    if (int form = CheckPathForm(folder))
        return form;
    char drive = FoldAsciiCase(folder[0]);
    int letter = drive >= 'a' && drive <= 'z';
    if (length < 3 || !letter || folder[1] != ':' || folder[2] != '\\')
        return kFolderNotAbsolute;
    // A drive's root would put the product's 116 files among the drive's own (well-kept installers
    // refuse it too), and every later install would look for its old names there.
    const char *start = folder + 3;
    while (*start == '\\')
        start++;
    if (*start == 0)
        return kFolderDriveRoot;
    // Name by name; '/' ends a name as the system reads a path, but a typed folder may not hold it
    // (the field names the backslash as its only separator).
    for (start = folder + 3;; start++) {
        const char *end = NameEnd(start);
        int problem = CheckComponent(start, end);
        if (problem != kFolderOk || *end == '/')
            return problem != kFolderOk ? problem : static_cast<int>(kFolderBadName);
        if (*end == 0)
            break;
        start = end;
    }
    if (length > LongestInstallFolder())
        return kFolderTooLong;
    return kFolderOk;
}

unsigned long LongestInstallFolder() {
    return static_cast<unsigned long>(kPathBufferSize - 2 - LongestNameInFolder());
}

// Files of the product among the system's own could replace or be taken for them, and the folder
// checks (foreign code, the owner) would ask about the system itself; a drive's root is refused
// for the reason CheckFolderName gives. Compared as folders, so that C:\WINDOWS\., C:\WINNT's short
// name, a second drive letter for the system drive or Wine's Unix drive are found too.
int CheckFolderPlace(const char *folder, const KeptFolders &kept) {
    for (const char *system : kept.system)
        if (system && system[0] && SameFileOrFolder(folder, system))
            return kFolderSystemFolder;
    for (int i = 0; i < kept.rootCount; i++)
        if (SameFileOrFolder(folder, kept.roots[i]))
            return kFolderDriveRoot;
    return kFolderOk;
}

unsigned long long SpaceNeeded(unsigned long clusterBytes) {
    unsigned long long needed = 0;
    for (int i = 0; i < PayloadCatalogueCount; i++)
        needed += RoundUp(PayloadCatalogue[i].bytes, clusterBytes);
    // Every file is written whole while the one it replaces is still there, and those it replaces
    // or purges stay (moved aside) until the install has succeeded: nothing they hold can be
    // counted. Besides, the journal, the configuration's appended lines and the doc folder.
    return needed + 3 * RoundUp(1, clusterBytes);
}

namespace {

// A name the install would write, replace, purge or change: a folder or a link there stops it
// before anything changes.
int IsBlocked(const char *name) {
    char path[kPathBufferSize];
    return JoinPath(path, InstallDir, name) && KindOfPath(path) == kPathNotPlain;
}

// An existing file that the install replaces or purges, held open or running.
int IsInUse(const char *name) {
    char path[kPathBufferSize];
    return JoinPath(path, InstallDir, name) && KindOfPath(path) == kPathPlainFile && FileInUse(path);
}

// The first name, installed or purged, for which test holds, or null; a few hundred file look-ups,
// on a slow disk or a share, with the wizard answering between them.
template <class Test> const char *FirstNameWhere(Test test) {
    return FirstInstallNameWhere([&test](const char *name) {
        KeepWizardResponsive();
        return test(name);
    });
}

}  // namespace

TargetCheck CheckInstallTargets() {
    TargetCheck check = {kTargetsReady, nullptr, 0, 0};
    check.file = FirstNameWhere([](const char *name) { return IsInUse(name); });
    if (check.file) {
        check.problem = kTargetInUse;
        return check;
    }
    check.file = FirstNameWhere([](const char *name) { return IsBlocked(name); });
    if (check.file) {
        check.problem = kTargetNotPlain;
        return check;
    }
    unsigned long long freeBytes = 0;
    unsigned long cluster = 0;
    if (!FreeDiskSpace(InstallDir, &freeBytes, &cluster))
        return check;  // unknown: the writes themselves will tell, and nothing is changed then
    unsigned long long needed = SpaceNeeded(cluster);
    if (needed > freeBytes) {
        check.problem = kDiskTooSmall;
        check.neededKb = static_cast<unsigned long>((needed + 1023) >> 10);
        check.freeKb = static_cast<unsigned long>(freeBytes >> 10);
    }
    return check;
}
