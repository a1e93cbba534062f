// Where the bilingual message box puts itself and its parts, from the measured texts.
#pragma once

#include "glyphs/control_look.h"

struct MessageLayoutInput {
    int kind;                         // 0 OK; 4 Yes/No; other OK/Cancel
    int chineseWidth;                 // measured mixed text (height is always 16)
    int chineseBytes;                 // byte length of the Chinese text
    int englishWidth, englishHeight;  // 0 x 0 when there is none or it cannot be measured
    int buttonWidth, buttonHeight;    // client size of the first button shown
    int frameWidth;                   // SM_CXDLGFRAME
    int screenWidth, screenHeight;
    int chineseLines;  // lines the Chinese text was broken into to fit the work area (0 or 1: one)
    Rect workArea;     // the screen less the task bar; empty: the whole screen
};

struct MessageLayout {
    Rect window;                      // left, top, and width/height as right/bottom minus left/top
    int contentWidth, contentHeight;  // W and H, which the buttons follow
    int firstButton, secondButton;    // control ids; secondButton 0 for kind 0
    Point firstPosition, secondPosition;
    int textY, textHeight;        // the Chinese label
    int englishY, englishHeight;  // the English label
};

// The window moved (not resized) to lie inside the work area where it fits; where it does not, its
// top left corner, and so its caption, stays inside.
Rect KeepInWorkArea(const Rect &window, const Rect &work);

// A fraction by which a window is scaled; 1/1 leaves it as it is.
struct Scale {
    int numerator, denominator;
};

// The largest scale, at most 1/1, at which a client area of `client` pixels, with `frame` pixels
// around it (borders and caption), fits inside the work area.
Scale FitScale(Point client, Point frame, const Rect &work);
Rect ScaleRect(const Rect &rect, Scale scale);

// captionHeight is SM_CYCAPTION, added to the window height. The window stays inside the work area
// where it fits and never puts its caption above it.
MessageLayout ComputeMessageLayout(const MessageLayoutInput &in, int captionHeight);

// Copies the English text into the box's buffer of `size` bytes; a longer text is cut to fit,
// never through a two-byte character. A null text gives an empty one.
void CopyEnglishText(char *out, int size, const char *english);
