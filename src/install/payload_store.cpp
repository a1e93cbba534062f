#include "install/payload_store.h"

#include <zlib.h>

#include "install/file_placement.h"

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

int ExtractPayloadToFile(unsigned short id, const char *fileName, unsigned char *buffer,
                         unsigned long capacity, int readOnly, int hidden, const char *fullPath) {
    unsigned long length = 0;
    if (UnpackPayload(id, buffer, capacity, &length) != kPayloadOk)
        return 0;
    return WriteInstalledFile(fileName, buffer, length, readOnly, hidden, fullPath);
}
