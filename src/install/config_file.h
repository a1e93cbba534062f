// Records the wizard's display answer and interface language in the installed chipadui.ini.
#pragma once

// Updates UseBmpFont and ForceLanguage in the configuration at path, as it is: no protection is
// lifted or set. The install edits its new configuration under its staged name, before the file
// takes its place. Returns 1 when both keys were recorded, 0 when the file could not be opened,
// read or written.
int UpdateConfigFile(const char *path);
