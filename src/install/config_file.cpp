#include "install/config_file.h"

#include <cstring>

#include "base/format_text.h"
#include "base/setup_state.h"

namespace {

// The configuration read and written as a stream in memory, with the few operations the update
// uses: it was first written over stdio, and keeps that shape without a system call per seek.
struct TextStream {
    ConfigText *text;
    unsigned long position;
    int atEnd;   // the last read found no byte
    int failed;  // a write found no room
};
const int kEndOfText = -1;

int ReadByte(TextStream *stream) {
    if (stream->position >= stream->text->length) {
        stream->atEnd = 1;
        return kEndOfText;
    }
    return static_cast<unsigned char>(stream->text->bytes[stream->position++]);
}

void WriteByte(TextStream *stream, char c) {
    ConfigText *text = stream->text;
    if (stream->position >= text->capacity) {
        stream->failed = 1;
        return;
    }
    text->bytes[stream->position++] = c;
    if (stream->position > text->length)
        text->length = stream->position;
}

void Seek(TextStream *stream, unsigned long position) {
    stream->position = position;
    stream->atEnd = 0;
}

const int kLineBufferSize = 256;  // a longer line is read in pieces of 255 bytes

struct ConfigKey {
    const char *match;  // "UseBmpFont=" or "ForceLanguage="
    char line[32];      // the whole key line as it must be written, without line end
};

struct ConfigScan {
    TextStream *file;
    ConfigKey keys[2];
    int done[2];
    int sectionSeen;
};

// One line or piece, as a text stream's fgets gives it: CR LF becomes "\n", at most 255 bytes.
void ReadPiece(TextStream *file, char *buffer) {
    int length = 0;
    buffer[0] = 0;
    while (length < kLineBufferSize - 1) {
        int c = ReadByte(file);
        if (c == kEndOfText)
            break;
        if (c == '\r') {
            int next = ReadByte(file);
            if (next == '\n')
                c = '\n';
            else if (next != kEndOfText)
                file->position--;
        }
        buffer[length++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    buffer[length] = 0;
}

// Writes text with every "\n" as CR LF.
void WriteText(TextStream *file, const char *text) {
    for (; *text; text++) {
        if (*text == '\n')
            WriteByte(file, '\r');
        WriteByte(file, *text);
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

void OverwriteInPlace(TextStream *file, unsigned long pieceStart, const char *text) {
    unsigned long next = file->position;
    Seek(file, pieceStart);
    WriteText(file, text);
    Seek(file, next);
}

// Any other key line (another value width, text ahead of the key, a key inside a long line) is
// replaced as a whole by the key lines it holds, each on its own line; the rest of the text moves
// up or down. Returns the offset just after the new lines, or -1 when there is no room.
long ReplaceWholeLine(TextStream *file, unsigned long lineStart, const char *keyLines) {
    ConfigText *text = file->text;
    unsigned long lineEnd = lineStart;
    while (lineEnd < text->length && text->bytes[lineEnd] != '\n')
        lineEnd++;
    unsigned long kept = lineEnd < text->length ? text->length - (lineEnd + 1) : 0;
    unsigned long newBytes = 0;
    for (const char *c = keyLines; *c; c++)
        newBytes += *c == '\n' ? 2 : 1;
    if (lineStart + newBytes + kept > text->capacity)
        return -1;
    std::memmove(text->bytes + lineStart + newBytes, text->bytes + text->length - kept, kept);
    text->length = lineStart + newBytes + kept;
    Seek(file, lineStart);
    WriteText(file, keyLines);
    return static_cast<long>(file->position);
}

// Returns 0 when there was no room.
int ScanAndUpdate(ConfigScan &scan) {
    char piece[kLineBufferSize];
    long lineStart = 0;  // start of the physical line the piece belongs to
    while (!(scan.done[0] && scan.done[1])) {
        long pieceStart = static_cast<long>(scan.file->position);
        ReadPiece(scan.file, piece);
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
            lineStart = static_cast<long>(scan.file->position);
        if (scan.file->atEnd)
            break;
    }
    return !scan.file->failed;
}

void AppendMissing(ConfigScan &scan) {
    // Both keys found before any "[Config]" line: the scan stopped inside the file, and a section
    // line written there would overwrite what follows. The keys are in place; nothing is added.
    if (scan.done[0] && scan.done[1])
        return;
    Seek(scan.file, scan.file->text->length);
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

int UpdateConfigText(ConfigText *text) {
    TextStream stream = {text, 0, 0, 0};
    ConfigScan scan = {};
    FormatText(scan.keys[0].line, sizeof scan.keys[0].line, "UseBmpFont=%c", DisplayOk ? '0' : '1');
    FormatText(scan.keys[1].line, sizeof scan.keys[1].line, "ForceLanguage=%d", ForceLanguage);
    scan.keys[0].match = "UseBmpFont=";
    scan.keys[1].match = "ForceLanguage=";
    scan.file = &stream;
    if (!ScanAndUpdate(scan))
        return 0;
    AppendMissing(scan);
    return !stream.failed;
}
