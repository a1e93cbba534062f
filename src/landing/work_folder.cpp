#include "landing/work_folder.h"

#include <cstdio>
#include <cstring>

#include "base/format_text.h"
#include "base/setup_state.h"
#include "landing/access_rights.h"
#include "landing/file_placement.h"
#include "landing/install_names.h"
#include "landing/responsive.h"

const char kWorkFolderName[9] = "~tsowork";
const char kJournalName[13] = "~tsoundo.lst";
const char kCommitRecordName[13] = "~tsodone.lst";
const char kStagedSuffix[8] = ".tsonew";
const char kKeptAsideSuffix[8] = ".tsoold";
static_assert(sizeof kStagedSuffix == kStagedSuffixLength + 1 &&
                  sizeof kKeptAsideSuffix == sizeof kStagedSuffix,
              "the work folder's longest path is counted with the suffix's length");
static_assert(kWorkPathExtra == sizeof kWorkFolderName + kStagedSuffixLength,
              "\"~tsowork\\\" before a name, and a suffix after");

namespace {

const char kLockName[] = "~tsolock";

// Held from OpenWorkFolder to LeaveWorkFolder: while it is, no other setup uses the folder.
FileLock *WorkFolderLock;

int WorkFolderPath(char *out) { return JoinPath(out, InstallDir, kWorkFolderName); }

// "<InstallDir>\~tsowork\<name><suffix>".
int WorkPath(char *out, const char *name, const char *suffix) {
    char folder[kPathBufferSize];
    if (!WorkFolderPath(folder))
        return 0;
    int length = FormatText(out, kPathBufferSize, "%s" PATH_SEPARATOR "%s%s", folder, name, suffix);
    return length > 0 && length < kPathBufferSize;
}

// Every name an install writes or purges, the wizard answering between them.
template <class Visit> void ForEveryInstallName(Visit visit) {
    FirstInstallNameWhere([&visit](const char *name) {
        visit(name);
        KeepWizardResponsive();
        return 0;
    });
}

}  // namespace

int StagedPath(char *out, const char *name) { return WorkPath(out, name, kStagedSuffix); }

int KeptAsidePath(char *out, const char *name) { return WorkPath(out, name, kKeptAsideSuffix); }

int WorkFilePath(char *out, const char *name) { return WorkPath(out, name, ""); }

// Through the file service, as every file the install writes: created new, every write checked, on
// the disk before the next rename (not even a power cut keeps the renames without it).
int WriteWorkFile(const char *name, const char *text) {
    char path[kPathBufferSize];
    InstalledFile file;
    return WorkFilePath(path, name) && BeginNewFile(&file, path) &&
           WriteInstalledFile(&file, text, static_cast<unsigned long>(std::strlen(text))) &&
           FlushInstalledFile(&file) && FinishInstalledFile(&file);
}

long ReadWorkFile(const char *name, char *text, unsigned long capacity) {
    char path[kPathBufferSize];
    if (!WorkFilePath(path, name) || KindOfPath(path) != kPathPlainFile)
        return kWorkFileNotPlain;
    std::FILE *file = text && capacity ? std::fopen(path, "rb") : nullptr;
    if (!file)
        return kWorkFileUnread;
    size_t length = std::fread(text, 1, capacity - 1, file);
    int read = !std::ferror(file);
    std::fclose(file);
    text[length] = 0;
    return read ? static_cast<long>(length) : static_cast<long>(kWorkFileUnread);
}

int RemoveWorkFile(const char *name) {
    char path[kPathBufferSize];
    return WorkFilePath(path, name) && RemovePlainFile(path);
}

int WorkFileExists(const char *name) {
    char path[kPathBufferSize];
    return WorkFilePath(path, name) && KindOfPath(path) != kPathMissing;
}

// Removes the staged files, and with moved too the moved-aside files, of every name. 1 = none is
// left. A moved-aside file that has another link (its owner linked it while the commit ran) is the
// user's own file under another name: only this name of it goes, by name (nobody else can swap a
// name in the work folder), and the file stays under the other.
int RemoveWorkFiles(int moved) {
    int removed = 1;
    ForEveryInstallName([&](const char *name) {
        char path[kPathBufferSize];
        if (StagedPath(path, name))
            removed &= RemovePlainFile(path);
        if (moved && KeptAsidePath(path, name))
            removed &= RemoveKeptAsideName(path);
    });
    return removed;
}

int RemoveStagedFiles() { return RemoveWorkFiles(0); }

int RemoveKeptAsideName(const char *path) {
    if (RemovePlainFile(path))
        return 1;
    return IsSecondHardLink(path) && RemoveFile(path);
}

int AnyFileMovedAside() {
    return FirstInstallNameWhere([](const char *name) {
               char path[kPathBufferSize];
               return KeptAsidePath(path, name) && KindOfPath(path) != kPathMissing;
           }) != nullptr;
}

// The folder is made with its rights, or checked, before anything is read from it; then locked, so
// that two setups on one folder (in two sessions, or under two Wine prefixes, which share no
// single-instance mutex) never take each other's files for an interrupted install's.
int OpenWorkFolder() {
    char folder[kPathBufferSize], lock[kPathBufferSize];
    if (!WorkFolderPath(folder) || !WorkPath(lock, kLockName, ""))
        return kWorkFolderFailed;
    if (KindOfPath(folder) == kPathMissing && !MakePrivateFolder(folder) &&
        KindOfPath(folder) == kPathMissing)
        return kWorkFolderFailed;
    if (!IsPlainFolder(folder) || !PrivateFolderTrusted(folder))
        return kWorkFolderForeign;
    int result = WorkFolderLock ? kLockTaken : TakeFileLock(lock, &WorkFolderLock);
    if (result == kLockHeldElsewhere)
        return kWorkFolderLocked;
    return result == kLockTaken ? kWorkFolderReady : kWorkFolderFailed;
}

// The lock file goes, then the folder, when nothing else is in it: files kept for the next run (an
// earlier file that could not be put back, a commit not finished) keep it.
void LeaveWorkFolder() {
    if (!WorkFolderLock)
        return;
    ReleaseFileLock(WorkFolderLock);
    WorkFolderLock = nullptr;
    char folder[kPathBufferSize];
    if (RemoveWorkFile(kLockName) && WorkFolderPath(folder))
        RemoveFolder(folder);
}
