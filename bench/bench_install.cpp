// The install measured against its floor in one run, natively (with stand-ins for the window and
// the shell) and under wine64. The floor is one inflate of every installed payload into one
// buffer plus writing the same bytes with plain stdio. The install runs on both of its paths,
// reported apart: the NT family's (access rights, link checks through handles) and the 95
// family's; the one start-up chooses on this system (NT under wine64) is named. Also measured:
// the integrity check and, on Windows, the install's peak private memory. Two helper modes feed
// the side-by-side benchmark against a general installer (bench/run-bench.sh).
//
// usage: bench_install <floor folder> <install folder>   ratios, integrity check, memory
//        bench_install once <install folder> [nt|95]     one install (on start-up's path unless
//                                                        named), nothing else
//        bench_install unpack <folder>                   every installed payload as a plain file
//        bench_install nsis <unpacked folder>            an NSIS script installing the same files,
//                                                        in the same order, with the same attributes
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../tests/install_in_work_folder.h"
#include "base/setup_state.h"
#include "install/install_sequence.h"
#include "install/install_tables.h"
#include "landing/file_placement.h"
#include "payload/payload_catalogue.h"
#include "payload/payload_check.h"
#include "payload/payload_store.h"
#include "setup/startup.h"

#ifdef _WIN32
#include <windows.h>

#include <psapi.h>

#include "base/setup_state_win32.h"
#else
#include <sys/stat.h>

#include "../tests/host/install_doubles.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;
const unsigned long kFloorBufferSize = 33554432;  // holds the largest payload, 32,701,374 bytes

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Every round installs into an emptied folder, as a first install does (and no old word base
// means no question); the floor writes into an emptied folder too.
void EmptyFolder(const std::string &folder) {
    for (int i = 0; i < PayloadCatalogueCount; i++) {
        char path[kPathBufferSize];
        if (JoinPath(path, folder.c_str(), PayloadFile(&PayloadCatalogue[i])))
            RemovePlainFile(path);
    }
}

int Unpack(const PayloadEntry &entry, std::vector<unsigned char> &buffer, unsigned long *length) {
    return UnpackPayload(entry.id, buffer.data(), buffer.size(), length) == kPayloadOk;
}

double MeasureFloor(const std::string &folder, std::vector<unsigned char> &buffer) {
    EmptyFolder(folder);
    Clock::time_point start = Clock::now();
    for (int i = 0; i < PayloadCatalogueCount; i++) {
        unsigned long length = 0;
        if (!Unpack(PayloadCatalogue[i], buffer, &length))
            std::abort();
        char path[kPathBufferSize];
        JoinPath(path, folder.c_str(), PayloadFile(&PayloadCatalogue[i]));
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
    if (RunInstallInWorkFolder() != kInstallSucceeded)
        std::abort();
    return Seconds(start);
}

#ifdef _WIN32
void PrepareBenchmark() { ProgramInstance = GetModuleHandleA(nullptr); }

// The platform flag as the setup's start-up sets it (src/setup/main_win32.cpp).
int StartupChoosesNt() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    BOOL known = GetVersionExA(&version);
    return VersionFlagsFor(known, version.dwPlatformId, version.dwMajorVersion).isNtPlatform;
}

// Peak private (pagefile-backed) bytes of the process so far.
double PeakPrivateMiB() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakPagefileUsage / 1048576.0;
}
#else
// The stand-in shell puts the shortcuts into folders of its own, so that the install is whole.
char ShellRoot[] = "/tmp/tesso-bench-shell-XXXXXX";

void RemoveShellRoot() { std::system((std::string("rm -rf ") + ShellRoot).c_str()); }

void PrepareBenchmark() {
    if (!mkdtemp(ShellRoot))
        std::abort();
    std::atexit(RemoveShellRoot);
    Doubles.shellRoot = ShellRoot;
    for (const char *kind : {"/0", "/2", "/7"})
        mkdir((Doubles.shellRoot + kind).c_str(), 0755);
}
double PeakPrivateMiB() { return 0; }
// Natively no start-up chooses: the NT family's path comes first, the 95 family's beside it.
int StartupChoosesNt() { return 1; }
#endif

const char *PathName(int nt) { return nt ? "NT path" : "95 path"; }

int RatioAndFigures(const char *floorFolder, const char *installFolder) {
    const int startupNt = StartupChoosesNt();
    // Memory first, in a process that has done nothing else yet: the install's peak above the
    // level before it, on start-up's path.
    IsNtPlatform = startupNt;
    double before = PeakPrivateMiB();
    MeasureInstall(installFolder);
    double installPeak = PeakPrivateMiB() - before;
    Clock::time_point checked = Clock::now();
    if (FirstDamagedPayload() != 0)
        std::abort();
    double checkSeconds = Seconds(checked);
    std::vector<unsigned char> buffer(kFloorBufferSize);
    const int kRounds = 6;
    // [0] the floor, [1] the install on start-up's path, [2] on the other path.
    double best[3] = {1e9, 1e9, 1e9};
    // Rounds rotate which runs first, so that none always meets another's dirty pages; the best
    // of each is kept.
    for (int round = 0; round < kRounds; round++) {
        for (int turn = 0; turn < 3; turn++) {
            int which = (round + turn) % 3;
            double seconds = 0;
            if (which == 0) {
                seconds = MeasureFloor(floorFolder, buffer);
            } else {
                IsNtPlatform = which == 1 ? startupNt : !startupNt;
                seconds = MeasureInstall(installFolder);
            }
            best[which] = seconds < best[which] ? seconds : best[which];
        }
    }
    for (int which = 1; which <= 2; which++) {
        int nt = which == 1 ? startupNt : !startupNt;
        std::printf("%s%s: install %.3f s, floor %.3f s, ratio %.3f (goal 1.00 or below)\n", PathName(nt),
                    which == 1 ? " (start-up's choice)" : "", best[which], best[0], best[which] / best[0]);
    }
    std::printf("integrity check of every packed stream: %.1f ms\n", checkSeconds * 1000);
    if (installPeak > 0 || before > 0)
        std::printf(
            "install peak private memory (%s): %.2f MiB above the %.2f MiB before it (goal 4 or below)\n",
            PathName(startupNt), installPeak, before);
    return 0;
}

int UnpackAll(const char *folder) {
    std::vector<unsigned char> buffer(kFloorBufferSize);
    for (int i = 0; i < PayloadCatalogueCount; i++) {
        unsigned long length = 0;
        char path[kPathBufferSize];
        if (!Unpack(PayloadCatalogue[i], buffer, &length) ||
            !JoinPath(path, folder, PayloadFile(&PayloadCatalogue[i])))
            return 1;
        std::FILE *file = std::fopen(path, "wb");
        if (!file || std::fwrite(buffer.data(), 1, length, file) != length || std::fclose(file) != 0)
            return 1;
    }
    return 0;
}

// The peer installs the same files in the install's own order, zlib-compressed file by file, with
// the same read-only and hidden bits, silently, without keeping the files' dates.
int PrintNsisScript(const char *unpacked) {
    std::printf(
        "Target amd64-unicode\nUnicode true\nSetCompressor zlib\nSetDateSave off\nRequestExecutionLevel "
        "user\nSilentInstall silent\n"
        "Name \"peer\"\nOutFile \"peer.exe\"\nInstallDir \"C:\\peer\"\nSection\nSetOutPath \"$INSTDIR\"\n");
    for (int i = 0; i < InstallStepCount; i++) {
        const PayloadEntry *entry =
            InstallSteps[i].payloadId ? FindPayloadEntry(InstallSteps[i].payloadId) : nullptr;
        if (!entry)
            continue;
        std::printf("File \"%s/%s\"\n", unpacked, PayloadFile(entry));
        if (entry->readOnly || entry->hidden)
            std::printf("SetFileAttributes \"$INSTDIR\\%s\" %s\n", PayloadFile(entry),
                        entry->readOnly && entry->hidden ? "READONLY|HIDDEN"
                        : entry->readOnly                ? "READONLY"
                                                         : "HIDDEN");
    }
    std::printf("SectionEnd\n");
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    PrepareBenchmark();
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "once") == 0) {
        IsNtPlatform = argc == 4 ? std::strcmp(argv[3], "95") != 0 : StartupChoosesNt();
        std::snprintf(InstallDir, kPathBufferSize, "%s", argv[2]);
        return RunInstallInWorkFolder() == kInstallSucceeded ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "unpack") == 0)
        return UnpackAll(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "nsis") == 0)
        return PrintNsisScript(argv[2]);
    if (argc == 3)
        return RatioAndFigures(argv[1], argv[2]);
    std::fprintf(stderr, "usage: see the head of bench/bench_install.cpp\n");
    return 2;
}
