#include "base/dll_search_win32.h"

#include "base/dll_search.h"
#include "base/format_text.h"
#include "base/system_functions_win32.h"
#include "base/system_version.h"

// A setup is usually started from a folder full of other downloads, and Windows looks for a DLL in
// the program's folder before the system folder unless the DLL is a KnownDLL. Later loads (the
// shell's and the common dialogs' own, and ours) are kept to the system folder. Both calls are
// looked up: SetDefaultDllDirectories exists from Windows 8 (7 and Vista with an update),
// SetDllDirectoryA from XP SP1; on 95 and NT 4.0 neither does, and the exe must still load there.
// GetVersionExA reports 6.0 on Vista whatever the manifest says (only 8.1 and later report less
// than they are to a program that does not declare them).
// The version is the one start-up read (all zero when unknown, which takes the call where it exists).
void RestrictDllSearch() {
    const DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32, Windows 8 headers
    auto setDefault = FindSystemFunction<SystemFunction::SetDefaultDllDirectories>();
    if (setDefault && UsesDefaultDllDirectories(RunningSystem.major, RunningSystem.minor) &&
        setDefault(kSearchSystem32))
        return;
    // Takes the current folder out of the search; only the call above can take the program's own.
    auto setDirectory = FindSystemFunction<SystemFunction::SetDllDirectoryA>();
    if (setDirectory)
        setDirectory("");
}

// A DLL already loaded is found by its name, so loading comctl32 by its full path before comdlg32
// also keeps comdlg32's own import of comctl32 out of the program's folder on systems that have no
// search restriction (95, 98, NT 4.0, 2000).

// DLLs that the shell, COM and the common dialogs load by name (some only on some systems, some by
// delayed import), none of them a KnownDLL. Where the search cannot be restricted (95 to XP, and
// Vista, see UsesDefaultDllDirectories), and for delayed imports that some platforms resolve from
// the program's folder all the same, loading each from the system folder first means the later
// load by name finds the one already loaded. One that a system lacks (msimg32 on 95, propsys
// before Vista...) is simply not there. Beside each: the piece of the system that loads it by
// name, and when.
void PreloadSystemDlls() {
    // One text of names one after another, ended by an empty name (a table of pointers would cost
    // the 32-bit exe a relocation each).
    static const char kLoadedByName[] =
        "comctl32.dll\0"   // comdlg32 imports it, so it comes first; not a KnownDLL (side-by-side serves it)
        "version.dll\0"    // the shell's file-version lookups; Wine's user32 even imports it
        "propsys.dll\0"    // Vista on: shell32 reads an item's properties through it while it parses a path
        "cryptbase.dll\0"  // 7 without the DLL-search update: rpcrt4's random numbers, when COM starts
        "profapi.dll\0"    // 7 on: userenv's delayed import, for the profile paths (userenv is next)
        "userenv.dll\0"    // Vista on: shell32's known-folder code, for the user's profile folder
        "winmm.dll\0"      // the system's event sounds, played by the shell and the dialogs
        "apphelp.dll\0"    // Vista on: shell32 checks shell objects against the compatibility database
        "oleacc.dll\0"     // Vista on: shell32's accessible role names for its progress dialogs
        "clbcatq.dll\0"    // XP SP2 on: ole32's COM+ catalogue, at the first CoCreateInstance
        "setupapi.dll\0"   // XP: shell32's drive code, the first time it looks at the local drives
        "shfolder.dll\0"   // SHGetFolderPath for the shell's helpers on 95, 98 and NT 4.0 (IE 5 brings it)
        "ntmarta.dll\0"    // 7 without the DLL-search update: advapi32's access-control provider
        ;
    for (const char *dll = kLoadedByName; *dll; dll = NthText(dll, 1))
        LoadSystemDll(dll);
    PreloadWindowDlls();
}

// The window code loads these by name as soon as a window draws: the theming library (XP and
// later; user32 loads it for every themed window) and what it loads on demand: msimg32 for its
// blends (Wine's does so while the standard controls paint, from the program's folder despite
// SetDefaultDllDirectories) and dwmapi, the compositor's library of Vista and later. Three loads
// from the system folder, before the first window, add little to the time to a visible wizard.
// 95, 98 and NT 4.0 have no theming library, and 95 no msimg32: LoadLibraryA of a missing full
// path only fails.
void PreloadWindowDlls() {
    static const char kLoadedByWindows[] = "uxtheme.dll\0msimg32.dll\0dwmapi.dll\0";
    for (const char *dll = kLoadedByWindows; *dll; dll = NthText(dll, 1))
        LoadSystemDll(dll);
}
