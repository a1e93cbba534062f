#include "install/payload_store.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>

#include "install/file_placement.h"
#include "install/install_ui.h"

int UnpackPayload(unsigned short id, unsigned char *buffer, unsigned long capacity, unsigned long *produced) {
    const unsigned char *stream = nullptr;
    unsigned long size = 0;
    *produced = 0;
    if (!FindPayloadStream(id, &stream, &size) || size == 0)
        return Z_STREAM_ERROR;
    uLongf length = capacity;
    int status = uncompress(buffer, &length, stream, size);
    if (status == Z_OK)
        *produced = length;
    return status;
}

struct PayloadInflater {
    z_stream stream;
    unsigned char block[kInflateBlockSize];
};

PayloadInflater *CreatePayloadInflater() {
    PayloadInflater *inflater = static_cast<PayloadInflater *>(std::malloc(sizeof(PayloadInflater)));
    if (!inflater)
        return nullptr;
    std::memset(&inflater->stream, 0, sizeof inflater->stream);
    // Raw deflate: the zlib header and trailer are handled in InflateInto.
    if (inflateInit2(&inflater->stream, -MAX_WBITS) != Z_OK) {
        std::free(inflater);
        return nullptr;
    }
    return inflater;
}

void DestroyPayloadInflater(PayloadInflater *inflater) {
    if (!inflater)
        return;
    inflateEnd(&inflater->stream);
    std::free(inflater);
}

namespace {

const unsigned long kZlibHeaderBytes = 2, kZlibTrailerBytes = 4;

// The two header bytes of a zlib stream: deflate, no preset dictionary, a valid check.
int IsZlibHeader(const unsigned char *packed) {
    return (packed[0] & 0x0F) == Z_DEFLATED && !(packed[1] & 0x20) && (packed[0] * 256 + packed[1]) % 31 == 0;
}

// Inflates the whole stream into the file, a block at a time. 1 = the stream ended properly and
// every byte was written. The deflate data is inflated raw: the stream's own Adler-32 of the
// inflated bytes is not computed again (a seventh of the work), since every packed stream was
// checked against its CRC-32 at start-up; its header and the room for its trailer are checked.
int InflateInto(PayloadInflater *inflater, const unsigned char *packed, unsigned long size,
                InstalledFile *file) {
    z_stream &stream = inflater->stream;
    if (size < kZlibHeaderBytes + kZlibTrailerBytes || !IsZlibHeader(packed) || inflateReset(&stream) != Z_OK)
        return 0;
    stream.next_in = const_cast<unsigned char *>(packed + kZlibHeaderBytes);
    stream.avail_in = static_cast<uInt>(size - kZlibHeaderBytes);
    for (;;) {
        stream.next_out = inflater->block;
        stream.avail_out = kInflateBlockSize;
        int status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            return 0;
        unsigned long produced = kInflateBlockSize - stream.avail_out;
        if (produced && !WriteInstalledFile(file, inflater->block, produced))
            return 0;
        KeepWizardResponsive();  // a block can take a tenth of a second on the slowest machines
        if (status == Z_STREAM_END)
            return stream.avail_in == kZlibTrailerBytes;
        if (produced == 0)
            return 0;  // no progress: the stream is cut short
    }
}

}  // namespace

int ExtractPayloadToFile(PayloadInflater *inflater, unsigned short id, const char *path,
                         unsigned long bytes) {
    InstalledFile file;
    if (!inflater || !BeginNewFile(&file, path))
        return 0;
    const unsigned char *packed = nullptr;
    unsigned long size = 0;
    if (!FindPayloadStream(id, &packed, &size) || size == 0 || !InflateInto(inflater, packed, size, &file)) {
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
