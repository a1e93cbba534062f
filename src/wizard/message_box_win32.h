// The bilingual message box: a Chinese text drawn from the glyph font above an English text.
#pragma once

#include <windows.h>

// kind 0: OK; 4: Yes and No; any other: OK and Cancel. Returns 1, 2, 6 or 7 (2 also for Escape
// and the close box). The Chinese text must stay valid during the call; owner may be null.
int ShowMessage(const char *chinese, const char *english, int kind, HWND owner);
