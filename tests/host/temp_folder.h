// A fresh folder under /tmp for one test, removed (protection and all) afterwards.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "base/setup_state.h"
#include "landing/file_system.h"

class TempFolder {
  public:
    TempFolder() {
        char pattern[] = "/tmp/tesso-test-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempFolder() { std::system(("chmod -R u+w '" + path_ + "' && rm -rf '" + path_ + "'").c_str()); }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::string &path() const { return path_; }
    std::string File(const std::string &name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// Writes a test's input file, lifting a protection an earlier step set (as an ordinary user a
// read-only file cannot be rewritten); a write that fails fails the test.
inline void WriteFile(const std::string &path, const std::string &bytes) {
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && !(info.st_mode & S_IWUSR))
        chmod(path.c_str(), info.st_mode | S_IWUSR);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    if (!out)
        ADD_FAILURE() << "could not write " << path;
}

inline std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

inline unsigned long Attributes(const std::string &path) {
    unsigned long word = 0;
    return ReadAttributeWord(path.c_str(), &word) ? word : 0xFFFFFFFFul;
}

inline void UseInstallDir(const std::string &folder) {
    std::snprintf(InstallDir, kPathBufferSize, "%s", folder.c_str());
}
