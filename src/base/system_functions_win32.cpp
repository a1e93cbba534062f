#include "base/system_functions_win32.h"

#include <cstddef>

#include "base/format_text.h"
#include "base/setup_state.h"

// A path in the system folder, so never the program's own folder: the setup may run from a folder of
// downloads that holds a planted DLL of the same name.
HMODULE LoadSystemDll(const char *dll) {
    char path[kPathBufferSize];
    UINT length = GetSystemDirectoryA(path, sizeof path);
    if (length == 0 || length >= sizeof path ||
        FormatText(path + length, sizeof path - length, "\\%s", dll) < 0)
        return nullptr;
    return LoadLibraryA(path);
}

namespace {

// The names as texts one after another, and each row saying where its name begins: a pointer per
// name would cost the 32-bit exe a relocation each.
constexpr char kSystemDllNames[] =
    "kernel32.dll\0advapi32.dll\0comctl32.dll\0comdlg32.dll\0shell32.dll\0ole32.dll\0"
    "user32.dll\0rstrtmgr.dll\0ntdll.dll";
static_assert(TextsIn(kSystemDllNames, sizeof kSystemDllNames) == static_cast<int>(SystemDll::Count),
              "one name per DLL, in SystemDll's order");

struct SystemFunctionNames {
#define TESSO_SYSTEM_FUNCTION_NAME(dll, name) char name[sizeof #name];
    TESSO_SYSTEM_FUNCTIONS(TESSO_SYSTEM_FUNCTION_NAME)
#undef TESSO_SYSTEM_FUNCTION_NAME
};
const SystemFunctionNames kSystemFunctionNames = {
#define TESSO_SYSTEM_FUNCTION_NAME(dll, name) #name,
    TESSO_SYSTEM_FUNCTIONS(TESSO_SYSTEM_FUNCTION_NAME)
#undef TESSO_SYSTEM_FUNCTION_NAME
};

struct SystemFunctionRow {
    unsigned char dll;      // a SystemDll
    unsigned short nameAt;  // where its name begins in kSystemFunctionNames
};

const SystemFunctionRow kSystemFunctionRows[] = {
#define TESSO_SYSTEM_FUNCTION_ROW(dll, name)                                                                 \
    {static_cast<unsigned char>(SystemDll::dll), offsetof(SystemFunctionNames, name)},
    TESSO_SYSTEM_FUNCTIONS(TESSO_SYSTEM_FUNCTION_ROW)
#undef TESSO_SYSTEM_FUNCTION_ROW
};

// Every DLL by its full path, kernel32, advapi32 and user32 too: loading a DLL that is loaded already
// only finds it, so the one procedure serves all. The loads happen at the first request, not at
// start-up: comctl32, comdlg32, shell32 and ole32 (and what they import) would otherwise be
// mapped and initialised before the wizard appears, for calls made only by the folder chooser
// and at the end of an install, and the wizard's time to its first window would grow.
// A load that failed is tried again at the next request: what stops it (no memory, say) may have
// passed by then.
HMODULE SystemDllModule(SystemDll dll) {
    // Zero before any code runs (no constructor: the setup runs without the C++ start-up code).
    static HMODULE modules[static_cast<int>(SystemDll::Count)];
    int index = static_cast<int>(dll);
    if (!modules[index])
        modules[index] = LoadSystemDll(NthText(kSystemDllNames, index));
    return modules[index];
}

}  // namespace

// The install's two staging threads may ask at once: each then loads the same DLL (a second load
// only counts it) and writes the same address, so neither can see a wrong one.
FARPROC FindSystemFunctionAddress(SystemFunction function) {
    const int kRows = sizeof kSystemFunctionRows / sizeof kSystemFunctionRows[0];
    static FARPROC addresses[kRows];
    int index = static_cast<int>(function);
    if (!addresses[index]) {  // a function the system lacks is looked for again: each is asked for rarely
        const SystemFunctionRow &row = kSystemFunctionRows[index];
        HMODULE module = SystemDllModule(static_cast<SystemDll>(row.dll));
        addresses[index] =
            module
                ? GetProcAddress(module, reinterpret_cast<const char *>(&kSystemFunctionNames) + row.nameAt)
                : nullptr;
    }
    return addresses[index];
}

// Wine's ntdll exports wine_get_version; no Windows does (the 95 family has no ntdll at all).
// The answer is kept as 1 (no) or 2 (yes), 0 until asked: a zero-initialised flag lies in .bss,
// where an initialised one would cost the exe a .data page of its own.
int RunningUnderWine() {
    static int answer;
    if (!answer) {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        answer = ntdll && GetProcAddress(ntdll, "wine_get_version") ? 2 : 1;
    }
    return answer - 1;
}
