// The update edits the file in place: a key line that exists is overwritten from its start, what
// is missing is appended. The stream is opened in binary mode and the CR LF translation of a text
// stream is done here, so that every offset is an exact byte offset on every C runtime.
#include "install/config_file.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "install/file_placement.h"
#include "install/file_system.h"
#include "setup/setup_state.h"

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
// up or down. Returns the offset just after the new lines.
long ReplaceWholeLine(std::FILE *file, long lineStart, const std::string &keyLines) {
    std::fseek(file, lineStart, SEEK_SET);
    std::string rest;
    for (int c; (c = std::getc(file)) != EOF;)
        rest.push_back(static_cast<char>(c));
    size_t lineEnd = rest.find('\n');
    rest.erase(0, lineEnd == std::string::npos ? rest.size() : lineEnd + 1);
    std::fseek(file, lineStart, SEEK_SET);
    WriteText(file, keyLines.c_str());
    long after = std::ftell(file);
    std::fwrite(rest.data(), 1, rest.size(), file);
    TruncateOpenFile(file, std::ftell(file));
    std::fseek(file, after, SEEK_SET);
    return after;
}

void ScanAndUpdate(ConfigScan &scan) {
    char piece[kLineBufferSize];
    long lineStart = std::ftell(scan.file);  // start of the physical line the piece belongs to
    while (!(scan.done[0] && scan.done[1])) {
        long pieceStart = std::ftell(scan.file);
        ReadPiece(scan.file, piece);
        if (std::strstr(piece, "[Config]"))
            scan.sectionSeen = 1;
        std::string oddLines;
        for (int k = 0; k < 2; k++) {
            if (!std::strstr(piece, scan.keys[k].match))
                continue;
            scan.done[k] = 1;
            if (FitsInPlace(piece, pieceStart == lineStart, scan.keys[k]))
                OverwriteInPlace(scan.file, pieceStart, scan.keys[k].line);
            else
                oddLines += std::string(scan.keys[k].line) + "\n";
        }
        if (!oddLines.empty()) {
            lineStart = ReplaceWholeLine(scan.file, lineStart, oddLines);
            continue;
        }
        size_t length = std::strlen(piece);
        if (length > 0 && piece[length - 1] == '\n')
            lineStart = std::ftell(scan.file);
        if (std::feof(scan.file))
            break;
    }
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

void ProtectAgain(const char *path) {
    SetFileWritable(path, 0);
    unsigned long word = 0;
    if (ReadAttributeWord(path, &word))
        WriteAttributeWord(path, word | kAttributeReadOnly | kAttributeHidden);
}

}  // namespace

int UpdateConfigFile() {
    char path[kPathBufferSize];
    if (!JoinPath(path, InstallDir, "chipadui.ini"))
        return 1;
    ClearProtectiveAttributes(path, 1, 1);
    SetFileWritable(path, 1);
    ConfigScan scan = {};
    std::snprintf(scan.keys[0].line, sizeof scan.keys[0].line, "UseBmpFont=%c", DisplayOk ? '0' : '1');
    std::snprintf(scan.keys[1].line, sizeof scan.keys[1].line, "ForceLanguage=%d", ForceLanguage);
    scan.keys[0].match = "UseBmpFont=";
    scan.keys[1].match = "ForceLanguage=";
    scan.file = std::fopen(path, "r+b");
    if (scan.file) {
        ScanAndUpdate(scan);
        AppendMissing(scan);
        std::fclose(scan.file);
    }
    ProtectAgain(path);
    return 1;
}
