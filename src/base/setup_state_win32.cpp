#include "base/setup_state_win32.h"

HINSTANCE ProgramInstance;
HWND WizardWindow;
HICON WizardIcon;
HFONT SampleFont;
GlyphPage GlyphPages[kGlyphPageCount];
WNDPROC SavedButtonProc;
