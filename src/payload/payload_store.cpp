#include "payload/payload_store.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>

struct PayloadInflater {
    z_stream stream;
    int ended;  // the stream of the payload begun has ended properly
    unsigned char block[kInflateBlockSize];
};

PayloadInflater *CreatePayloadInflater() {
    PayloadInflater *inflater = static_cast<PayloadInflater *>(std::malloc(sizeof(PayloadInflater)));
    if (!inflater)
        return nullptr;
    std::memset(&inflater->stream, 0, sizeof inflater->stream);
    // Raw deflate: the zlib header and trailer are handled in BeginPayload and NextPayloadBlock.
    if (inflateInit2(&inflater->stream, -MAX_WBITS) != Z_OK) {
        std::free(inflater);
        return nullptr;
    }
    // An empty block of the fixed codes: the setup's zlib builds their tables at the first such
    // block, once, and not safely on two threads at once; every inflater is made before the
    // staging threads start, so they are built here.
    static const unsigned char kEmptyFixedBlock[] = {0x03, 0x00};
    inflater->stream.next_in = const_cast<unsigned char *>(kEmptyFixedBlock);
    inflater->stream.avail_in = sizeof kEmptyFixedBlock;
    inflater->stream.next_out = inflater->block;
    inflater->stream.avail_out = kInflateBlockSize;
    inflate(&inflater->stream, Z_FINISH);
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

}  // namespace

// The whole stream into buffer, its Adler-32 checked (these are small: the glyph font, the licence,
// the configuration templates), through the raw inflate BeginPayload uses: zlib's uncompress would
// bring its own code for the same.
int UnpackPayload(unsigned short id, unsigned char *buffer, unsigned long capacity, unsigned long *produced) {
    const unsigned char *packed = nullptr;
    unsigned long size = 0;
    *produced = 0;
    z_stream stream = {};
    if (!FindPayloadStream(id, &packed, &size) || size < kZlibHeaderBytes + kZlibTrailerBytes ||
        !IsZlibHeader(packed) || inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return Z_STREAM_ERROR;
    stream.next_in = const_cast<unsigned char *>(packed + kZlibHeaderBytes);
    stream.avail_in = static_cast<uInt>(size - kZlibHeaderBytes);
    stream.next_out = buffer;
    stream.avail_out = static_cast<uInt>(capacity);
    int status = inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return status == Z_OK ? Z_DATA_ERROR : status;  // Z_BUF_ERROR: it does not fit
    if (stream.avail_in != kZlibTrailerBytes)           // the trailer is read only where it is whole
        return Z_DATA_ERROR;
    const unsigned char *trailer = stream.next_in;
    unsigned long stored =
        (static_cast<unsigned long>(trailer[0]) << 24) | (trailer[1] << 16) | (trailer[2] << 8) | trailer[3];
    unsigned long length = capacity - stream.avail_out;
    if (adler32(adler32(0, nullptr, 0), buffer, length) != stored)
        return Z_DATA_ERROR;
    *produced = length;
    return Z_OK;
}

// The deflate data is inflated raw: the stream's own Adler-32 of the inflated bytes is not computed
// again (a seventh of the work), since every packed stream was checked against its CRC-32 at
// start-up; its header and the room for its trailer are checked.
int BeginPayload(PayloadInflater *inflater, unsigned short id) {
    const unsigned char *packed = nullptr;
    unsigned long size = 0;
    z_stream &stream = inflater->stream;
    if (!FindPayloadStream(id, &packed, &size) || size < kZlibHeaderBytes + kZlibTrailerBytes ||
        !IsZlibHeader(packed) || inflateReset(&stream) != Z_OK)
        return 0;
    stream.next_in = const_cast<unsigned char *>(packed + kZlibHeaderBytes);
    stream.avail_in = static_cast<uInt>(size - kZlibHeaderBytes);
    inflater->ended = 0;
    return 1;
}

int NextPayloadBlock(PayloadInflater *inflater, const unsigned char **block, unsigned long *count) {
    if (inflater->ended)
        return 0;
    z_stream &stream = inflater->stream;
    stream.next_out = inflater->block;
    stream.avail_out = kInflateBlockSize;
    int status = inflate(&stream, Z_NO_FLUSH);
    if (status != Z_OK && status != Z_STREAM_END)
        return -1;
    *block = inflater->block;
    *count = kInflateBlockSize - stream.avail_out;
    if (status == Z_STREAM_END) {
        inflater->ended = 1;
        return stream.avail_in == kZlibTrailerBytes ? 1 : -1;
    }
    return *count ? 1 : -1;  // no progress: the stream is cut short
}
