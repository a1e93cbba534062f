// Process-wide window and drawing handles (the portable state is in setup_state.h).
#pragma once

#include <windows.h>

#include "base/setup_state.h"

struct GlyphPage {
    HBITMAP bitmap;
    HDC surface;
    HGDIOBJ previous;  // what the surface held before the bitmap was selected
};

enum { kGlyphPageCount = 4 };

extern HINSTANCE ProgramInstance;
extern HWND WizardWindow;
extern HICON WizardIcon;
extern HFONT SampleFont;
extern GlyphPage GlyphPages[kGlyphPageCount];
extern WNDPROC SavedButtonProc;
