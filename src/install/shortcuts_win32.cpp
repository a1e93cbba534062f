#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <cstring>

#include "base/path_text.h"
#include "base/scoped_win32.h"
#include "base/setup_state.h"
#include "base/system_functions_win32.h"
#include "install/shortcuts.h"
#include "landing/file_system.h"

namespace {

// shell32 and ole32 are loaded by their full paths when the first shortcut is made: as static
// imports they would be loaded and initialised at every start, before the wizard appears, for
// calls made only at the end of an install. Null when a system lacks one of the calls.
struct ShellCalls {
    SystemCall<SystemFunction::SHGetMalloc> getMalloc;
    SystemCall<SystemFunction::SHGetSpecialFolderLocation> folderLocation;
    SystemCall<SystemFunction::SHGetPathFromIDListA> pathFromList;
    SystemCall<SystemFunction::CoInitialize> initialize;
    SystemCall<SystemFunction::CoUninitialize> uninitialize;
    SystemCall<SystemFunction::CoCreateInstance> createInstance;
};

const ShellCalls *LoadedShellCalls() {
    static ShellCalls calls;
    static int looked;
    if (!looked) {
        looked = 1;
        calls.getMalloc = FindSystemFunction<SystemFunction::SHGetMalloc>();
        calls.folderLocation = FindSystemFunction<SystemFunction::SHGetSpecialFolderLocation>();
        calls.pathFromList = FindSystemFunction<SystemFunction::SHGetPathFromIDListA>();
        calls.initialize = FindSystemFunction<SystemFunction::CoInitialize>();
        calls.uninitialize = FindSystemFunction<SystemFunction::CoUninitialize>();
        calls.createInstance = FindSystemFunction<SystemFunction::CoCreateInstance>();
    }
    int complete = calls.getMalloc && calls.folderLocation && calls.pathFromList && calls.initialize &&
                   calls.uninitialize && calls.createInstance;
    return complete ? &calls : nullptr;
}

// COM initialised around one shortcut; uninitialised only when the initialisation succeeded. It
// stays beside the shortcuts, the only code that calls ole32 (through the pointers looked up above).
class ComInit {
  public:
    ComInit() : ok_(LoadedShellCalls() && SUCCEEDED(LoadedShellCalls()->initialize(nullptr))) {}
    ~ComInit() {
        if (ok_)
            LoadedShellCalls()->uninitialize();
    }
    ComInit(const ComInit &) = delete;
    ComInit &operator=(const ComInit &) = delete;
    bool ok() const { return ok_; }

  private:
    bool ok_;
};

// Under Wine a session's start and end load and tear down its COM apartment, a few milliseconds
// each. CoInitialize counts: one made inside the open session only adds to the count.
int SessionOpen;

void SetWorkingDirectoryOf(IShellLinkA *link, const char *targetPath) {
    char folder[kPathBufferSize];
    if (FolderPartOf(folder, targetPath)) {
        folder[std::strlen(folder) - 1] = 0;  // the folder itself, without its last backslash
        link->SetWorkingDirectory(folder);
    }
}

}  // namespace

void OpenShellSession() {
    SessionOpen = LoadedShellCalls() && SUCCEEDED(LoadedShellCalls()->initialize(nullptr));
}

void CloseShellSession() {
    if (SessionOpen)
        LoadedShellCalls()->uninitialize();
    SessionOpen = 0;
}

int ResolveShellFolder(char *path, int kind) {
    const ShellCalls *shell = LoadedShellCalls();
    ComPtr<IMalloc> allocator;
    if (!shell || FAILED(shell->getMalloc(allocator.Receive())))
        return 0;
    LPITEMIDLIST found = nullptr;
    if (FAILED(shell->folderLocation(nullptr, kind, &found)))
        return 0;  // nothing was handed out
    ShellBlock<LPITEMIDLIST> list(allocator.get(), found);
    return shell->pathFromList(list.get(), path) ? 1 : 0;
}

namespace {

// A new shell link object and its file interface, with the link's path in UTF-16 (0 for a link
// path longer than 260 units). COM must be initialised around their use.
int NewShellLink(ComPtr<IShellLinkA> *link, ComPtr<IPersistFile> *file, const char *linkPath,
                 WCHAR *widePath) {
    return SUCCEEDED(LoadedShellCalls()->createInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                                        IID_IShellLinkA,
                                                        reinterpret_cast<void **>(link->Receive()))) &&
           SUCCEEDED((*link)->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(file->Receive()))) &&
           MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, kPathBufferSize) != 0;
}

}  // namespace

int CreateShellLink(const char *targetPath, const char *linkPath, const char *description) {
    ComInit com;
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    WCHAR widePath[kPathBufferSize];
    if (!com.ok() || !NewShellLink(&link, &file, linkPath, widePath) || FAILED(link->SetPath(targetPath)))
        return 0;
    link->SetDescription(description);
    link->SetIconLocation(targetPath, 0);
    SetWorkingDirectoryOf(link.get(), targetPath);
    return SUCCEEDED(file->Save(widePath, TRUE)) ? 1 : 0;
}

// The link object's GetPath gives the path it holds without looking for the target (no
// SLGP_UNCPRIORITY or resolution: 95's shell knows neither SLGP_RAWPATH nor the later flags).
int ReadShellLinkTarget(const char *linkPath, char *targetPath) {
    ComInit com;
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    WCHAR widePath[kPathBufferSize];
    if (!com.ok() || !NewShellLink(&link, &file, linkPath, widePath) ||
        FAILED(file->Load(widePath, STGM_READ)))
        return 0;
    WIN32_FIND_DATAA found;
    targetPath[0] = 0;
    return link->GetPath(targetPath, kPathBufferSize, &found, 0) == S_OK && targetPath[0];
}

int QueryUserName(char *buffer, unsigned long capacity) {
    DWORD size = capacity;
    return GetUserNameA(buffer, &size) ? 1 : 0;
}
