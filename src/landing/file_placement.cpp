#include "landing/file_placement.h"

#include "base/format_text.h"
#include "landing/access_rights.h"
#include "landing/file_system.h"
#include "landing/responsive.h"

int BeginNewFile(InstalledFile *file, const char *path) {
    file->output = nullptr;
    file->written = 0;
    file->program = 0;
    if (FormatText(file->path, kPathBufferSize, "%s", path) < 0)
        return 0;
    file->output = CreateOutputFile(file->path);
    return file->output != nullptr;
}

int WriteInstalledFile(InstalledFile *file, const void *bytes, unsigned long count) {
    if (count == 0 || WriteOutputFile(file->output, bytes, count)) {
        file->written += count;
        return 1;
    }
    AbandonInstalledFile(file);
    return 0;
}

void AbandonInstalledFile(InstalledFile *file) {
    if (file->output)
        CloseOutputFile(file->output);
    file->output = nullptr;
    RemoveFile(file->path);
}

// A program gets its access list while the install's exclusive handle is still open, so that no
// other program can have opened it with the rights it inherited.
int FinishInstalledFile(InstalledFile *file) {
    int programProtected = !file->program || ProtectProgramFile(file->path);
    int closed = CloseOutputFile(file->output);
    file->output = nullptr;
    if (!closed || !programProtected) {
        RemoveFile(file->path);
        return 0;
    }
    return 1;
}

// The payload is never held whole: memory stays at the inflater's block whatever the file's size.
int ExtractPayloadToFile(PayloadInflater *inflater, unsigned short id, const char *path, unsigned long bytes,
                         int marks) {
    InstalledFile file;
    if (!inflater || !BeginNewFile(&file, path))
        return 0;
    file.program = marks & kStagedProgram;
    const unsigned char *block = nullptr;
    unsigned long count = 0;
    int status = BeginPayload(inflater, id) ? 1 : -1;
    while (status > 0 && (status = NextPayloadBlock(inflater, &block, &count)) > 0) {
        if (!WriteInstalledFile(&file, block, count))
            return 0;
        if (!(marks & kStagedOffWizardThread))
            KeepWizardResponsive();  // a block can take a tenth of a second on the slowest machines
        if (SessionEnded()) {        // left as it is: the next run removes staged files before anything
            CloseOutputFile(file.output);
            return 0;
        }
    }
    if (status < 0) {
        AbandonInstalledFile(&file);
        return 0;
    }
    if (!FinishInstalledFile(&file))
        return 0;
    if (file.written != bytes) {  // every write was checked: this is what the file holds
        RemoveFile(path);
        return 0;
    }
    return 1;
}

int DeleteInstalledFile(const char *path) {
    return WithProtectionLifted(path, [path] { return RemoveFile(path); });
}

namespace {

const int kHeldRetries = 30;
const unsigned long kHeldPauseTicks = 100;

template <class Step> int RetriedWhileHeld(Step step) {
    for (int attempt = 0;; attempt++) {
        if (SessionEnded())
            return 0;
        if (step())
            return 1;
        if (attempt == kHeldRetries || !LastFailureWasHeld())
            return 0;
        WaitAnsweringWizard(kHeldPauseTicks);
    }
}

}  // namespace

int RenameRetried(const char *source, const char *target) {
    return RetriedWhileHeld([&] { return RenameFile(source, target); });
}

int RemovePlainFile(const char *path) {
    if (SessionEnded())
        return 0;
    int kind = KindOfPath(path);
    if (kind != kPathPlainFile)
        return kind == kPathMissing;
    return WithProtectionLifted(path,
                                [path] { return RetriedWhileHeld([path] { return RemoveFile(path); }); });
}
