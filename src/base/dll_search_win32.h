// Keeps DLL loads out of the program's own folder.
#pragma once

#include <windows.h>

// Restricts the DLL search to the system folder where the system can (see the definition); does
// nothing on systems that cannot. Call it first thing, before anything can load a DLL.
void RestrictDllSearch();

// Loads from the system folder the DLLs that the platform itself loads by name and that are not
// protected KnownDLLs, so that a later load by name finds them loaded. Called before what loads
// them (the folder chooser, the install's shortcuts): not at start-up, where it would only delay
// the wizard. Loading them again costs nothing.
void PreloadSystemDlls();
// The few of them that drawing any window loads (the theming library and its own on-demand
// loads), before the first window is made. PreloadSystemDlls loads them too.
void PreloadWindowDlls();
