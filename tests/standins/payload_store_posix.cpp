// Stand-in for the resource section on POSIX: the build's packed streams, one file per id,
// mapped into memory once and kept for the life of the process (as a resource would be).
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <string>

#include "payload/payload_store.h"
#include "payload_store_posix.h"

#ifndef TESSO_PAYLOAD_DIR
#define TESSO_PAYLOAD_DIR "payloads"
#endif

struct MappedStream {
    const unsigned char *bytes;
    unsigned long size;
};

static std::string PayloadDirectory = TESSO_PAYLOAD_DIR;

void SetPayloadDirectory(const char *directory) { PayloadDirectory = directory; }

static MappedStream MapStream(const std::string &path) {
    MappedStream mapped = {nullptr, 0};
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return mapped;
    struct stat info;
    if (fstat(fd, &info) == 0 && info.st_size > 0) {
        void *bytes = mmap(nullptr, info.st_size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (bytes != MAP_FAILED)
            mapped = {static_cast<const unsigned char *>(bytes), static_cast<unsigned long>(info.st_size)};
    }
    close(fd);
    return mapped;
}

int FindPayloadStream(unsigned short id, const unsigned char **stream, unsigned long *size) {
    static std::map<std::string, MappedStream> mappings;
    std::string path = PayloadDirectory + "/" + std::to_string(id) + ".z";
    auto found = mappings.find(path);
    if (found == mappings.end())
        found = mappings.emplace(path, MapStream(path)).first;
    *stream = found->second.bytes;
    *size = found->second.size;
    return *stream != nullptr;
}
