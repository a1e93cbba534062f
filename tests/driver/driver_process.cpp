// The setup as a process: starting it (or a damaged copy), waiting for it and its windows, and
// reading and setting its controls.
#include "wizard_driver.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include <zlib.h>

#include "base/resource_ids.h"
#include "payload/payload_check.h"

namespace driver {

namespace {

const int kPollMs = 20;

struct WindowSearch {
    DWORD processId;
    const char *caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
    WindowSearch *search = reinterpret_cast<WindowSearch *>(context);
    DWORD process = 0;
    char caption[256] = "";
    GetWindowThreadProcessId(window, &process);
    GetWindowTextA(window, caption, sizeof caption);
    if (process == search->processId && IsWindowVisible(window) &&
        std::strcmp(caption, search->caption) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::string WindowsPath(const std::string &path) {
    if (path.empty() || path[0] != '/')
        return path;
    std::string converted = "Z:" + path;  // Wine's Z: drive is the Unix root
    for (char &c : converted)
        if (c == '/')
            c = '\\';
    return converted;
}

std::string Environment(const char *name) {
    char value[2048];
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length && length < sizeof value ? std::string(value) : std::string();
}

// Under the run's own scratch folder where the test runner gives one (it removes it when the run
// ends, with every install made in it), else under the temporary folder.
std::string FreshFolder(const std::string &name) {
    char temp[MAX_PATH];
    std::string scratch = Environment("TESSO_TEST_TEMP");
    if (scratch.empty() || scratch.size() + 2 > sizeof temp)
        GetTempPathA(sizeof temp, temp);
    else
        lstrcpyA(temp, (scratch + "\\").c_str());
    static int made = 0;
    std::string folder = std::string(temp) + name + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                         std::to_string(GetTickCount()) + "-" + std::to_string(++made);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

HANDLE SetupToken;

bool LaunchSetup(Setup *setup, const std::string &exe, const std::string &workingFolder) {
    std::string path = WindowsPath(exe.empty() ? Environment("TESSO_SETUP_EXE") : exe);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string command = "\"" + path + "\"";
    const char *folder = workingFolder.empty() ? nullptr : workingFolder.c_str();
    if (SetupToken)
        return CreateProcessAsUserA(SetupToken, path.c_str(), &command[0], nullptr, nullptr, FALSE, 0,
                                    nullptr, folder, &startup, &setup->process) != 0;
    return CreateProcessA(path.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                          &setup->process) != 0;
}

namespace {

// The build's table of stream checks, in the order of the streams in the pack: id, packed bytes and
// CRC-32.
struct StreamCheck {
    unsigned short id;
    unsigned long packedBytes, crc32;
};
const StreamCheck kStreamChecks[] = {
#include "payload_checks.inc"
};

// The whole pack of streams of an exe; empty when it has none.
std::vector<char> StreamPack(const std::string &exe) {
    std::vector<char> pack;
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC resource = module ? FindResourceA(module, MAKEINTRESOURCEA(IDR_PAYLOAD_STREAMS), "TEXT") : nullptr;
    if (resource) {
        const char *bytes = static_cast<const char *>(LockResource(LoadResource(module, resource)));
        pack.assign(bytes, bytes + SizeofResource(module, resource));
    }
    if (module)
        FreeLibrary(module);
    return pack;
}

// Where a payload's stream begins in the pack, its size in *size; -1 when the table has no such id.
long StreamOffset(unsigned short payloadId, unsigned long *size) {
    unsigned long at = 0;
    for (const StreamCheck &check : kStreamChecks) {
        if (check.id == payloadId) {
            *size = check.packedBytes;
            return static_cast<long>(at);
        }
        at += check.packedBytes;
    }
    return -1;
}

// A copy of the setup in a fresh folder with one payload's stream replaced; empty on failure.
std::string SetupCopyWithStream(unsigned short payloadId, const std::vector<char> &stream) {
    std::string copy = FreshFolder("changed") + "\\TessoSetup.exe";
    std::vector<char> pack = StreamPack(WindowsPath(Environment("TESSO_SETUP_EXE")));
    unsigned long size = 0;
    long at = StreamOffset(payloadId, &size);
    if (stream.empty() || at < 0 || at + size > pack.size() ||
        !CopyFileA(WindowsPath(Environment("TESSO_SETUP_EXE")).c_str(), copy.c_str(), FALSE))
        return "";
    pack.erase(pack.begin() + at, pack.begin() + at + size);
    pack.insert(pack.begin() + at, stream.begin(), stream.end());
    HANDLE update = BeginUpdateResourceA(copy.c_str(), FALSE);
    if (!update ||
        !UpdateResourceA(update, "TEXT", MAKEINTRESOURCEA(IDR_PAYLOAD_STREAMS),
                         MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), pack.data(),
                         static_cast<DWORD>(pack.size())) ||
        !EndUpdateResourceA(update, FALSE))
        return "";
    return copy;
}

uint32_t StreamCrc(const std::vector<char> &stream) {
    return crc32(0, reinterpret_cast<const Bytef *>(stream.data()), static_cast<uInt>(stream.size()));
}

// The setup's table of stream checks holds, per payload, its id, the packed size and the CRC-32,
// 10 bytes a row (payload/payload_check.h). The entry that records `before` is made to record `after`.
bool RecordStream(const std::string &exe, unsigned short payloadId, const std::vector<char> &before,
                  const std::vector<char> &after) {
    FILE *file = std::fopen(exe.c_str(), "r+b");
    if (!file)
        return false;
    std::vector<char> image;
    char chunk[65536];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        image.insert(image.end(), chunk, chunk + n);
    PayloadCheck was = {payloadId, static_cast<unsigned long>(before.size()), StreamCrc(before)};
    PayloadCheck now = {payloadId, static_cast<unsigned long>(after.size()), StreamCrc(after)};
    bool recorded = false;
    for (size_t at = 0; at + sizeof was <= image.size() && !recorded; at += 2) {
        if (std::memcmp(image.data() + at, &was, sizeof was) == 0)
            recorded = std::fseek(file, static_cast<long>(at), SEEK_SET) == 0 &&
                       std::fwrite(&now, sizeof now, 1, file) == 1;
    }
    return std::fclose(file) == 0 && recorded;
}

}  // namespace

std::vector<char> PayloadStream(const std::string &exe, unsigned short payloadId) {
    std::vector<char> pack = StreamPack(exe);
    unsigned long size = 0;
    long at = StreamOffset(payloadId, &size);
    if (at < 0 || at + size > pack.size())
        return {};
    return std::vector<char>(pack.begin() + at, pack.begin() + at + size);
}

std::string DamagedSetupCopy(unsigned short payloadId) {
    std::vector<char> stream = PayloadStream(WindowsPath(Environment("TESSO_SETUP_EXE")), payloadId);
    if (!stream.empty())
        stream[stream.size() / 2] ^= 0x55;
    return SetupCopyWithStream(payloadId, stream);
}

std::string SetupCopyWithPayload(unsigned short payloadId, const std::string &content) {
    std::vector<char> before = PayloadStream(WindowsPath(Environment("TESSO_SETUP_EXE")), payloadId);
    uLongf packedBytes = compressBound(static_cast<uLong>(content.size()));
    std::vector<char> after(packedBytes);
    if (compress2(reinterpret_cast<Bytef *>(after.data()), &packedBytes,
                  reinterpret_cast<const Bytef *>(content.data()), static_cast<uLong>(content.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return "";
    after.resize(packedBytes);
    std::string copy = SetupCopyWithStream(payloadId, after);
    return !copy.empty() && RecordStream(copy, payloadId, before, after) ? copy : "";
}

bool StartSetup(Setup *setup, const std::string &exe, const std::string &workingFolder) {
    if (!LaunchSetup(setup, exe, workingFolder))
        return false;
    setup->wizard = WaitForWindow(setup->process.dwProcessId, kWizardCaption, 15000);
    if (setup->wizard)
        Sleep(300);  // let the first paint finish
    return setup->wizard != nullptr;
}

HWND FocusedWindow(const Setup &setup) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(setup.process.dwThreadId, &info) ? info.hwndFocus : nullptr;
}

bool HasExited(const Setup &setup) { return WaitForSingleObject(setup.process.hProcess, 0) == WAIT_OBJECT_0; }

int WaitForExit(Setup *setup, int timeoutMs) {
    if (!setup->process.hProcess)
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(setup->process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(setup->process.hProcess, &code);
    else
        TerminateProcess(setup->process.hProcess, 99);
    CloseHandle(setup->process.hProcess);
    CloseHandle(setup->process.hThread);
    setup->process = {};
    return static_cast<int>(code);
}

HWND FindProcessWindow(DWORD processId, const char *caption) {
    WindowSearch search = {processId, caption, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(DWORD processId, const char *caption, int timeoutMs) {
    for (int waited = 0; waited <= timeoutMs; waited += kPollMs) {
        if (HWND found = FindProcessWindow(processId, caption))
            return found;
        Sleep(kPollMs);
    }
    return nullptr;
}

bool WaitForWindowGone(HWND window, int timeoutMs) {
    for (int waited = 0; waited <= timeoutMs; waited += kPollMs) {
        if (!IsWindow(window) || !IsWindowVisible(window))
            return true;
        Sleep(kPollMs);
    }
    return false;
}

HWND Control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

bool IsShown(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != 0; }

bool IsChecked(HWND dialog, int id) {
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string Text(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    std::vector<char> text(SendMessageA(control, WM_GETTEXTLENGTH, 0, 0) + 1, 0);
    SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

void SetText(HWND dialog, int id, const std::string &text) {
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool WaitUntil(bool (*condition)(void *), void *context, int timeoutMs) {
    for (int waited = 0; waited <= timeoutMs; waited += kPollMs) {
        if (condition(context))
            return true;
        Sleep(kPollMs);
    }
    return false;
}

}  // namespace driver
