// Time of the whole install against its floor, measured in one run: the floor is one inflate of
// every installed payload into one buffer plus writing the same bytes with plain stdio. Built
// natively (with stand-ins for the window and the shell) and for Windows, run under wine64.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "install/file_placement.h"
#include "install/install_sequence.h"
#include "install/payload_catalogue.h"
#include "install/payload_store.h"
#include "setup/setup_state.h"

#ifdef _WIN32
#include "setup/setup_state_win32.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Every round installs into an emptied folder, as a first install does (and no old word base
// means no question); the floor writes into an emptied folder too.
void EmptyFolder(const std::string &folder) {
    for (int i = 0; i < PayloadCatalogueCount; i++) {
        char path[kPathBufferSize];
        if (JoinPath(path, folder.c_str(), PayloadCatalogue[i].file))
            DeleteInstalledFile(path);
    }
}

double MeasureFloor(const std::string &folder, std::vector<unsigned char> &buffer) {
    EmptyFolder(folder);
    Clock::time_point start = Clock::now();
    for (int i = 0; i < PayloadCatalogueCount; i++) {
        unsigned long length = 0;
        if (UnpackPayload(PayloadCatalogue[i].id, buffer.data(), buffer.size(), &length) != kPayloadOk)
            std::abort();
        char path[kPathBufferSize];
        JoinPath(path, folder.c_str(), PayloadCatalogue[i].file);
        std::FILE *file = std::fopen(path, "wb");
        if (!file || std::fwrite(buffer.data(), 1, length, file) != length || std::fclose(file) != 0)
            std::abort();
    }
    return Seconds(start);
}

double MeasureInstall(const std::string &folder) {
    std::snprintf(InstallDir, kPathBufferSize, "%s", folder.c_str());
    EmptyFolder(folder);
    Clock::time_point start = Clock::now();
    if (!RunInstall())
        std::abort();
    return Seconds(start);
}

#ifdef _WIN32
void PrepareBenchmark() { ProgramInstance = GetModuleHandleA(nullptr); }
#else
void PrepareBenchmark() {}
#endif

}  // namespace

int main(int argc, char **argv) {
    PrepareBenchmark();
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_install <floor folder> <install folder>  (both must exist)\n");
        return 2;
    }
    std::vector<unsigned char> buffer(kPayloadBufferSize);
    const int kRounds = 6;
    double floorBest = 1e9, installBest = 1e9;
    // Rounds alternate which runs first, so that neither always meets the other's dirty pages;
    // the best of each is kept.
    for (int round = 0; round < kRounds; round++) {
        double floorTime = 0, installTime = 0;
        if (round % 2) {
            installTime = MeasureInstall(argv[2]);
            floorTime = MeasureFloor(argv[1], buffer);
        } else {
            floorTime = MeasureFloor(argv[1], buffer);
            installTime = MeasureInstall(argv[2]);
        }
        floorBest = floorTime < floorBest ? floorTime : floorBest;
        installBest = installTime < installBest ? installTime : installBest;
    }
    std::printf("install %.3f s, floor %.3f s, ratio %.3f (target 1.10 or below)\n", installBest, floorBest,
                installBest / floorBest);
    return 0;
}
