// Keeps DLL loads out of the program's own folder.
#pragma once

#include <windows.h>

// Restricts the DLL search to the system folder where the system can (see the definition); does
// nothing on systems that cannot. Call it first thing, before anything can load a DLL.
void RestrictDllSearch();

// A kernel32 function that not every supported system has, looked up rather than imported; null
// where it is missing.
FARPROC KernelFunction(const char *name);

// Loads from the system folder the DLLs that the platform itself loads by name and that are not
// protected KnownDLLs, so that a later load by name finds them loaded. Called before what loads
// them (the folder chooser, the install's shortcuts): not at start-up, where it would only delay
// the wizard. Loading them again costs nothing.
void PreloadSystemDlls();
// The few of them that drawing any window loads (the theming library and its own on-demand
// loads), before the first window is made. PreloadSystemDlls loads them too.
void PreloadWindowDlls();

// Loads a system DLL by its full path in the system folder, or returns null.
HMODULE LoadSystemDll(const char *dll);

// Loads a system DLL by its full path in the system folder (never from the program's folder) and
// returns one of its functions, or null. The DLL stays loaded for the life of the process.
FARPROC LoadSystemFunction(const char *dll, const char *function);

// A looked-up address as the function type it really has (GetProcAddress gives one of no
// arguments; going through void * says the cast is meant).
template <class Function> Function AsFunction(FARPROC address) {
    return reinterpret_cast<Function>(reinterpret_cast<void *>(address));
}
