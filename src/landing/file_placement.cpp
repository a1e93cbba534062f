#include "landing/file_placement.h"

#include <zlib.h>

#include "base/format_text.h"
#include "landing/access_rights.h"
#include "landing/file_system.h"
#include "landing/responsive.h"

int BeginNewFile(InstalledFile *file, const char *path) {
    file->output = nullptr;
    file->written = 0;
    file->program = 0;
    file->crc = 0;
    if (FormatText(file->path, kPathBufferSize, "%s", path) < 0)
        return 0;
    file->output = CreateOutputFile(file->path);
    return file->output != nullptr;
}

int WriteInstalledFile(InstalledFile *file, const void *bytes, unsigned long count) {
    if (count == 0 || WriteOutputFile(file->output, bytes, count)) {
        file->written += count;
        file->crc = crc32(file->crc, static_cast<const Bytef *>(bytes), count);
        return 1;
    }
    AbandonInstalledFile(file);
    return 0;
}

int FlushInstalledFile(InstalledFile *file) {
    if (FlushOutputFile(file->output))
        return 1;
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
                         int marks, unsigned long *crc) {
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
    if (crc)
        *crc = file.crc;
    return 1;
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

int OpenHeldFileRetried(const char *path, HeldFile *file) {
    int opened = kHeldFailed;
    RetriedWhileHeld([&] { return (opened = OpenHeldFile(path, file)) != kHeldFailed; });
    return opened;
}

int MoveHeldFileRetried(HeldFile *file, const char *target) {
    return RetriedWhileHeld([&] { return MoveHeldFile(file, target); });
}

int DeleteHeldFileRetried(HeldFile *file) {
    return RetriedWhileHeld([&] { return DeleteHeldFile(file); });
}

int RemovePlainFile(const char *path) {
    if (SessionEnded())
        return 0;
    HeldFile file;
    int opened = OpenHeldFileRetried(path, &file);
    if (opened != kHeldOpened)
        return opened == kHeldMissing;
    int removed = DeleteHeldFileRetried(&file);
    CloseHeldFile(&file);
    return removed;
}
