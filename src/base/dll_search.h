// Which DLL search restriction a Windows version gets (the calls are in dll_search_win32.cpp).
#pragma once

// 1 when SetDefaultDllDirectories is to be called where it exists; 0 on Windows 6.0 (Vista and
// Server 2008), where that call (brought there by an update) makes the shell's link object fail to
// be created, and with it every shortcut. SetDllDirectoryA("") and the system DLLs loaded
// beforehand by their full paths serve there instead. Before 6.0 the call does not exist.
int UsesDefaultDllDirectories(unsigned long majorVersion, unsigned long minorVersion);
