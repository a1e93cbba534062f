// The system functions that the setup looks up at run time instead of importing, in one table.
#pragma once

#include <windows.h>

#include <aclapi.h>
#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
#include <restartmanager.h>
#include <shlobj.h>
#include <winternl.h>

// Declared here for the table's pointer type only (never called directly, never imported): the
// headers, told the oldest target, leave it out.
#if _WIN32_WINNT < 0x0600
extern "C" DWORD WINAPI GetFinalPathNameByHandleA(HANDLE file, LPSTR path, DWORD size, DWORD flags);
#endif

// The DLLs the table's functions live in. kernel32, advapi32 and user32 are imported anyway and are
// loaded before any program code; the others are loaded only when one of their functions is first
// asked for (see FindSystemFunctionAddress).
enum class SystemDll {
    Kernel32,
    Advapi32,
    Comctl32,
    Comdlg32,
    Shell32,
    Ole32,
    User32,
    Rstrtmgr,
    Ntdll,
    Count
};

// The headers declare these only for a Vista target (_WIN32_WINNT 0x0600): they are declared here
// as the SDK declares them, for the table's types alone. Nothing calls them directly: an import of
// either would stop the setup loading on XP and earlier.
#if _WIN32_WINNT < 0x0600
extern "C" {
WINUSERAPI BOOL WINAPI ShutdownBlockReasonCreate(HWND hWnd, LPCWSTR pwszReason);
WINUSERAPI BOOL WINAPI ShutdownBlockReasonDestroy(HWND hWnd);
}
#endif

// One row per function: its DLL and its name, and where its history matters the oldest system
// that has it. Its pointer type is the SDK's own declaration (decltype of the function), so a call
// through the table is type-checked as a direct call would be and a wrong argument list cannot
// compile. The oldest target's headers (WINVER and _WIN32_WINNT 0x0400, _WIN32_IE 0x0400) declare
// every one of them, SetDefaultDllDirectories and SetDllDirectoryA included, but the two shutdown
// block functions (declared above). The advapi32 rows are NT only (the 95 family's advapi32 has no
// security support); comctl32, comdlg32, shell32 and ole32 are in every system but are not
// imported, so that they stay out of the start-up and out of the program's folder. The user32 rows
// are Unicode functions, asked for on the NT family only: the 95 family's user32 has few working
// Unicode functions (the others fail, which is what the Layer for Unicode was made for) and which
// of them it exports even as stubs is documented nowhere. The Restart Manager (rstrtmgr.dll) is
// Vista's and later's; on older systems its DLL is not there and its rows are null.
// clang-format off
#define TESSO_SYSTEM_FUNCTIONS(Row)                                                         \
    Row(Kernel32, SetDefaultDllDirectories)     /* Windows 8; 7 and Vista with an update */ \
    Row(Kernel32, SetDllDirectoryA)             /* XP SP1 */                                \
    Row(Kernel32, GetDiskFreeSpaceExA)          /* 95 OSR2, NT 4.0 */                       \
    Row(Kernel32, GetFileAttributesExA)         /* 98, NT 4.0 */                            \
    Row(Kernel32, GetFinalPathNameByHandleA)    /* Vista; asked for under Wine only */      \
    Row(Kernel32, GetSystemWow64DirectoryA)     /* XP; fails on 32-bit Windows */          \
    Row(Advapi32, InitializeSecurityDescriptor) /* NT only, as every advapi32 row */        \
    Row(Advapi32, InitializeAcl)                                                            \
    Row(Advapi32, AddAccessAllowedAce)                                                      \
    Row(Advapi32, SetSecurityDescriptorDacl)                                                \
    Row(Advapi32, SetSecurityDescriptorOwner)                                               \
    Row(Advapi32, SetSecurityDescriptorControl) /* 2000 */                                  \
    Row(Advapi32, SetFileSecurityA)                                                         \
    Row(Advapi32, GetFileSecurityA)                                                         \
    Row(Advapi32, GetSecurityDescriptorOwner)                                               \
    Row(Advapi32, GetSecurityDescriptorGroup)                                               \
    Row(Advapi32, EqualSid)                                                                 \
    Row(Advapi32, OpenProcessToken)                                                         \
    Row(Advapi32, GetTokenInformation)                                                      \
    Row(Advapi32, GetSecurityDescriptorDacl)                                                \
    Row(Advapi32, GetAce)                                                                   \
    Row(Advapi32, SetNamedSecurityInfoA)        /* inherits on request from 2000 */         \
    Row(Comctl32, InitCommonControls)           /* every comctl32 */                        \
    Row(Comdlg32, GetOpenFileNameA)                                                         \
    Row(Shell32, SHGetMalloc)                                                               \
    Row(Shell32, SHGetSpecialFolderLocation)                                                \
    Row(Shell32, SHGetPathFromIDListA)                                                      \
    Row(Ole32, CoInitialize)                                                                \
    Row(Ole32, CoUninitialize)                                                              \
    Row(Ole32, CoCreateInstance)                                                            \
    Row(User32, GetWindowTextW)                 /* NT only, as every user32 row */          \
    Row(User32, GetWindowTextLengthW)                                                       \
    Row(User32, ShutdownBlockReasonCreate)      /* Vista */                                 \
    Row(User32, ShutdownBlockReasonDestroy)     /* Vista */                                 \
    Row(Rstrtmgr, RmStartSession)               /* Vista, as every rstrtmgr row */          \
    Row(Rstrtmgr, RmRegisterResources)                                                      \
    Row(Rstrtmgr, RmGetList)                                                                \
    Row(Rstrtmgr, RmEndSession)                                                             \
    Row(Ntdll, NtSetInformationFile)            /* NT 3.1: rename and delete by handle */   \
    Row(Ntdll, NtQueryInformationFile)          /* NT 3.1; asked for under Wine only */     \
    Row(Ntdll, RtlNtStatusToDosError)           /* NT 3.1 */
// clang-format on

// Loads a system DLL by its full path in the system folder (never from the program's folder), or
// returns null. The DLL stays loaded for the life of the process.
HMODULE LoadSystemDll(const char *dll);

// The table's functions by name: SystemFunction::GetDiskFreeSpaceExA.
enum class SystemFunction {
#define TESSO_SYSTEM_FUNCTION_ID(dll, name) name,
    TESSO_SYSTEM_FUNCTIONS(TESSO_SYSTEM_FUNCTION_ID)
#undef TESSO_SYSTEM_FUNCTION_ID
};

// The pointer type of each function, as the SDK declares it.
template <SystemFunction> struct SystemFunctionType;
#define TESSO_SYSTEM_FUNCTION_TYPE(dll, name)                                                                \
    template <> struct SystemFunctionType<SystemFunction::name> { typedef decltype(&::name) Type; };
TESSO_SYSTEM_FUNCTIONS(TESSO_SYSTEM_FUNCTION_TYPE)
#undef TESSO_SYSTEM_FUNCTION_TYPE
template <SystemFunction function> using SystemCall = typename SystemFunctionType<function>::Type;

// The function's address, or null where the system lacks the function or its DLL. The first
// request for any function of a DLL loads that DLL by its full path in the system folder (never
// from the program's folder or the current one); what was found is kept for the life of the
// process, and what was not is looked for again at the next request.
FARPROC FindSystemFunctionAddress(SystemFunction function);

// The same, as the function's own pointer type (GetProcAddress gives one of no arguments; going
// through void * says the cast is meant).
template <SystemFunction function> SystemCall<function> FindSystemFunction() {
    return reinterpret_cast<SystemCall<function>>(
        reinterpret_cast<void *>(FindSystemFunctionAddress(function)));
}

// Whether the setup runs under Wine, whose file system differs from Windows' where it matters to the
// install: Unix symbolic links, and no security descriptor kept (the Unix owner and mode stand in).
int RunningUnderWine();
