#include "install/file_placement.h"

#include "base/format_text.h"
#include "base/setup_state.h"
#include "install/file_system.h"
#include "install/program_files.h"

static int CopyPath(char *out, const char *path) { return FormatText(out, kPathBufferSize, "%s", path) >= 0; }

// The temporary name beside the target, so that putting it in place is a rename.
static int TemporaryPathFor(char *out, const char *target) {
    int length = FormatText(out, kPathBufferSize, "%s.tsonew", target);
    return length > 0 && length < kPathBufferSize;
}

int BeginNewFile(InstalledFile *file, const char *path) {
    file->output = nullptr;
    file->written = 0;
    file->inPlace = 1;
    if (!CopyPath(file->target, path))
        return 0;
    file->output = CreateOutputFile(file->target, kNewFileOnly);
    return file->output != nullptr;
}

int BeginInstalledFile(InstalledFile *file, const char *fileName, const char *fullPath) {
    file->output = nullptr;
    file->written = 0;
    if (fullPath ? !CopyPath(file->target, fullPath) : !JoinPath(file->target, InstallDir, fileName))
        return 0;
    // One call tells whether the file is new and, when it is, creates it.
    file->output = CreateOutputFile(file->target, kNewFileOnly);
    file->inPlace = file->output != nullptr;
    if (file->inPlace)
        return 1;
    if (!TemporaryPathFor(file->temporary, file->target))
        return 0;
    // A plain file left by an earlier run is removed; anything else there (a folder, a link) makes
    // the write fail rather than go through it.
    file->output = CreateOutputFile(file->temporary, kNewFileOnly);
    if (!file->output && KindOfPath(file->temporary) == kPathPlainFile &&
        DeleteInstalledFile(file->temporary))
        file->output = CreateOutputFile(file->temporary, kNewFileOnly);
    return file->output != nullptr;
}

int WriteInstalledBytes(InstalledFile *file, const void *bytes, unsigned long count) {
    if (count == 0 || WriteOutputFile(file->output, bytes, count)) {
        file->written += count;
        return 1;
    }
    AbandonInstalledFile(file);
    return 0;
}

// The file the bytes went to: the target itself for a new file, the temporary one otherwise.
static const char *WrittenPath(const InstalledFile *file) {
    return file->inPlace ? file->target : file->temporary;
}

void AbandonInstalledFile(InstalledFile *file) {
    if (file->output)
        CloseOutputFile(file->output);
    file->output = nullptr;
    RemoveFile(WrittenPath(file));
}

// The complete file gets its final attribute word first; a temporary one (read-only or not, it can
// still be renamed) then takes the target's place. A file it replaces passes on its other bits; a read-only
// or hidden one is lifted first, and set back if the replacement fails.
int FinishInstalledFile(InstalledFile *file, int readOnly, int hidden) {
    int programProtected = ProtectIfProgram(file->target, WrittenPath(file));  // before the handle goes
    int closed = CloseOutputFile(file->output);
    file->output = nullptr;
    if (!closed || !programProtected) {
        RemoveFile(WrittenPath(file));
        return 0;
    }
    if (!file->inPlace && KindOfPath(file->target) == kPathNotPlain) {
        RemoveFile(file->temporary);  // never replaced, nor its attributes changed, through a link
        return 0;
    }
    const unsigned long kProtection = kAttributeReadOnly | kAttributeHidden;
    unsigned long before = 0;
    int existed = !file->inPlace && ReadAttributeWord(file->target, &before);
    unsigned long word = (existed ? before & ~kProtection : static_cast<unsigned long>(kAttributeArchive)) |
                         (readOnly ? kAttributeReadOnly : 0ul) | (hidden ? kAttributeHidden : 0ul);
    if (word != kAttributeArchive)
        WriteAttributeWord(WrittenPath(file), word);
    if (file->inPlace)
        return 1;
    int lifted = existed && (before & kProtection) && WriteAttributeWord(file->target, before & ~kProtection);
    if (!MoveOverFile(file->temporary, file->target)) {
        DeleteInstalledFile(file->temporary);
        if (lifted)
            WriteAttributeWord(file->target, before);
        return 0;
    }
    return 1;
}

int WriteInstalledFile(const char *fileName, const void *bytes, unsigned long count, int readOnly, int hidden,
                       const char *fullPath) {
    InstalledFile file;
    if (!BeginInstalledFile(&file, fileName, fullPath))
        return 0;
    return WriteInstalledBytes(&file, bytes, count) && FinishInstalledFile(&file, readOnly, hidden);
}

int ClearProtectiveAttributes(const char *path, int clearReadOnly, int clearHidden) {
    unsigned long word = 0;
    if (!ReadAttributeWord(path, &word))
        return clearReadOnly || clearHidden;
    unsigned long cleared = word;
    if (clearReadOnly)
        cleared &= ~kAttributeReadOnly;
    if (clearHidden)
        cleared &= ~kAttributeHidden;
    if (cleared == word)
        return 0;
    WriteAttributeWord(path, cleared);
    return 1;
}

int DeleteInstalledFile(const char *path) {
    return WithProtectionLifted(path, [path] { return RemoveFile(path); });
}
