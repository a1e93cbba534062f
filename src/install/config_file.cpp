// The update edits the file in place: a key line that exists is overwritten from its start, what
// is missing is appended. The stream is opened in binary mode and the CR LF translation of a text
// stream is done here, so that every offset is an exact byte offset on every C runtime.
#include "install/config_file.h"

#include <cstdio>
#include <cstring>

#include "base/format_text.h"
#include "base/malloc_buffer.h"
#include "base/setup_state.h"
#include "landing/file_system.h"

namespace {

const int kLineBufferSize = 256;  // a longer line is read in pieces of 255 bytes

struct ConfigKey {
    const char *match;  // "UseBmpFont=" or "ForceLanguage="
    char line[32];      // the whole key line as it must be written, without line end
};

struct ConfigScan {
    std::FILE *file;
    ConfigKey keys[2];
    int done[2];
    int sectionSeen;
};

// One line or piece, as a text stream's fgets gives it: CR LF becomes "\n", at most 255 bytes.
void ReadPiece(std::FILE *file, char *buffer) {
    int length = 0;
    buffer[0] = 0;
    while (length < kLineBufferSize - 1) {
        int c = std::getc(file);
        if (c == EOF)
            break;
        if (c == '\r') {
            int next = std::getc(file);
            if (next == '\n')
                c = '\n';
            else if (next != EOF)
                std::ungetc(next, file);
        }
        buffer[length++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    buffer[length] = 0;
}

// Writes text with every "\n" as CR LF.
void WriteText(std::FILE *file, const char *text) {
    for (; *text; text++) {
        if (*text == '\n')
            std::fputc('\r', file);
        std::fputc(*text, file);
    }
}

// A piece that is the whole key line with a value as wide as the new one can be overwritten in
// place without leaving old characters behind or touching the line end.
int FitsInPlace(const char *piece, int startsLine, const ConfigKey &key) {
    size_t width = std::strlen(key.line);
    size_t length = std::strlen(piece);
    if (length > 0 && piece[length - 1] == '\n')
        length--;
    return startsLine && length == width && std::strncmp(piece, key.match, std::strlen(key.match)) == 0;
}

void OverwriteInPlace(std::FILE *file, long pieceStart, const char *text) {
    long next = std::ftell(file);
    std::fseek(file, pieceStart, SEEK_SET);
    WriteText(file, text);
    std::fseek(file, next, SEEK_SET);
}

// Any other key line (another value width, text ahead of the key, a key inside a long line) is
// replaced as a whole by the key lines it holds, each on its own line; the rest of the file moves
// up or down. Returns the offset just after the new lines, or -1 when the file could not be read
// or written.
long ReplaceWholeLine(std::FILE *file, long lineStart, const char *keyLines) {
    if (std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    long end = std::ftell(file);
    MallocBuffer<char> rest = AllocateBuffer<char>(end > lineStart ? end - lineStart : 1);
    if (end < lineStart || !rest || std::fseek(file, lineStart, SEEK_SET) != 0)
        return -1;
    size_t length = std::fread(rest.get(), 1, end - lineStart, file);
    if (length != static_cast<size_t>(end - lineStart))
        return -1;
    size_t lineEnd = 0;
    while (lineEnd < length && rest.get()[lineEnd] != '\n')
        lineEnd++;
    size_t kept = lineEnd < length ? length - (lineEnd + 1) : 0;
    std::fseek(file, lineStart, SEEK_SET);
    WriteText(file, keyLines);
    long after = std::ftell(file);
    std::fwrite(rest.get() + (length - kept), 1, kept, file);
    if (std::ferror(file) || !TruncateOpenFile(file, std::ftell(file)) ||
        std::fseek(file, after, SEEK_SET) != 0)
        return -1;
    return after;
}

// Returns 0 when the file could not be read or written. A read error ends the scan at once: the
// stream would otherwise never reach its end, and the keys are then left as they were rather than
// appended after a part of the file that was never seen.
int ScanAndUpdate(ConfigScan &scan) {
    char piece[kLineBufferSize];
    long lineStart = std::ftell(scan.file);  // start of the physical line the piece belongs to
    while (!(scan.done[0] && scan.done[1])) {
        long pieceStart = std::ftell(scan.file);
        ReadPiece(scan.file, piece);
        if (std::ferror(scan.file))
            return 0;
        if (std::strstr(piece, "[Config]"))
            scan.sectionSeen = 1;
        char oddLines[2 * sizeof scan.keys[0].line + 2] = "";
        for (int k = 0; k < 2; k++) {
            if (!std::strstr(piece, scan.keys[k].match))
                continue;
            scan.done[k] = 1;
            if (FitsInPlace(piece, pieceStart == lineStart, scan.keys[k])) {
                OverwriteInPlace(scan.file, pieceStart, scan.keys[k].line);
            } else {
                std::strcat(oddLines, scan.keys[k].line);
                std::strcat(oddLines, "\n");
            }
        }
        if (oddLines[0]) {
            lineStart = ReplaceWholeLine(scan.file, lineStart, oddLines);
            if (lineStart < 0)
                return 0;
            continue;
        }
        size_t length = std::strlen(piece);
        if (length > 0 && piece[length - 1] == '\n')
            lineStart = std::ftell(scan.file);
        if (std::feof(scan.file))
            break;
    }
    return !std::ferror(scan.file);
}

void AppendMissing(ConfigScan &scan) {
    // Both keys found before any "[Config]" line: the scan stopped inside the file, and a section
    // line written there would overwrite what follows. The keys are in place; nothing is added.
    if (scan.done[0] && scan.done[1])
        return;
    std::fseek(scan.file, 0, SEEK_END);
    if (!scan.sectionSeen)
        WriteText(scan.file, "\n\n[Config]\n\n");
    for (int k = 0; k < 2; k++) {
        if (scan.done[k])
            continue;
        WriteText(scan.file, "\n");
        WriteText(scan.file, scan.keys[k].line);
        WriteText(scan.file, "\n");
    }
}

}  // namespace

int UpdateConfigFile(const char *path) {
    ConfigScan scan = {};
    FormatText(scan.keys[0].line, sizeof scan.keys[0].line, "UseBmpFont=%c", DisplayOk ? '0' : '1');
    FormatText(scan.keys[1].line, sizeof scan.keys[1].line, "ForceLanguage=%d", ForceLanguage);
    scan.keys[0].match = "UseBmpFont=";
    scan.keys[1].match = "ForceLanguage=";
    scan.file = std::fopen(path, "r+b");
    if (!scan.file)
        return 0;
    int written = ScanAndUpdate(scan);
    if (written)
        AppendMissing(scan);
    written = written && std::fflush(scan.file) == 0 && !std::ferror(scan.file);
    return std::fclose(scan.file) == 0 && written;
}
