// Records the wizard's display answer and interface language in the installed chipadui.ini.
#pragma once

// The configuration's bytes in memory, with room to grow: the install inflates it, updates it here
// and writes it once, new, under its staged name.
struct ConfigText {
    char *bytes;
    unsigned long length;    // bytes in use
    unsigned long capacity;  // bytes there is room for
};
// The most the update adds to a configuration (the section line and both key lines, or a key line
// replaced by both): room for this much beyond the text is always enough.
enum { kConfigGrowth = 256 };

// Updates UseBmpFont and ForceLanguage in text. Returns 1 when both keys were recorded, 0 when
// there was no room (the text is then to be taken again as it came).
int UpdateConfigText(ConfigText *text);
// A key line that exists is overwritten from its start, what is missing is appended. Lines end in CR
// LF; a lone LF or CR ends one too, as a text stream's reading would take it.
