// Helpers of the Windows-side tests: fresh folders on the Wine drive, file contents, attributes.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "../install_in_work_folder.h"
#include "base/setup_state.h"
#include "wizard_driver.h"

using driver::Environment;
using driver::FreshFolder;

inline DWORD FileAttributes(const std::string &path) { return GetFileAttributesA(path.c_str()); }

inline long FileSize(const std::string &path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return static_cast<long>(data.nFileSizeLow);
}

// The folder of the running test program.
inline std::string ThisFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    *strrchr(path, '\\') = 0;
    return path;
}

// A value of chipadui.ini's [Config] section, or "missing".
inline std::string ProfileValue(const std::string &ini, const char *key) {
    char value[64] = "";
    GetPrivateProfileStringA("Config", key, "missing", value, sizeof value, ini.c_str());
    return value;
}

inline std::string ReadWhole(const std::string &path) {
    std::string bytes;
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, n);
    std::fclose(file);
    return bytes;
}

inline void WriteWhole(const std::string &path, const std::string &bytes) {
    FILE *file = std::fopen(path.c_str(), "wb");
    if (file) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

// A fresh folder as InstallDir for an install run in this process, with the Windows folder and a
// setup folder that holds no control file.
inline std::string UseFreshInstallFolder(const std::string &name) {
    std::string folder = FreshFolder(name);
    lstrcpynA(InstallDir, folder.c_str(), kPathBufferSize);
    GetWindowsDirectoryA(WindowsDir, kPathBufferSize);
    lstrcatA(WindowsDir, "\\");
    lstrcpyA(SetupDir, "C:\\no-such-setup-folder\\");
    return folder;
}
