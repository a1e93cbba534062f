// Records the wizard's display answer and interface language in the installed chipadui.ini.
#pragma once

// Updates UseBmpFont and ForceLanguage in InstallDir\chipadui.ini and protects the file again.
// Always returns 1: the install goes on whatever happens here.
int UpdateConfigFile();
