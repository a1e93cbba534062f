// Records the wizard's display answer and interface language in the installed chipadui.ini.
#pragma once

// Updates UseBmpFont and ForceLanguage in InstallDir\chipadui.ini and protects the file again.
// Returns 1 when both keys were recorded, 0 when the file could not be opened, read or written.
int UpdateConfigFile();

// The same edit on the file at path, as it is: no protection is lifted or set. The install edits
// its new configuration this way before the file takes its place.
int UpdateConfigFileAt(const char *path);
