// How the program-drawn controls look: captions by control id, layout flags, and the geometry of
// bevels, outlines, captions, focus marks, check boxes and list items.
#pragma once

struct Rect {
    int left, top, right, bottom;  // right and bottom exclusive
};

struct Point {
    int x, y;
};

// --- push buttons and labels ---------------------------------------------------------------------
// Buffer for captions read from the window. Message texts that name a path or a file are longer
// than a button caption: the whole text is read (a text cut short would hide what it is about).
enum { kWindowTextCaptionLimit = 512 };

// The caption drawn for a control: null means the control's window text. Control 1020 is never
// painted (see OwnerControlPaints); 1021 gets an empty caption.
const char *OwnerControlCaption(int controlId, int wizardPage);
int OwnerControlPaints(int controlId);

struct LayoutFlags {
    int centred;
    int frame;
};
LayoutFlags OwnerControlFlags(int controlId);
int OwnerControlDrawsFrame(int controlId);  // the Frame flag, never for the three centred labels

enum BevelPen { kPenA, kPenB, kPenBlack };  // A: light unless pressed, B: dark unless pressed

struct LineSegment {
    int pen;
    Point from, to;  // the end point is not drawn
};

enum { kMaxBevelSegments = 16 };
// The bevel and the outer edge (a black outline for the default button). Returns the count.
int BevelSegments(const Rect &item, int isDefault, LineSegment *segments);

Point CaptionPosition(const Rect &item, int textWidth, int centred, int pressed);
Rect FocusRectangle(const Rect &item);

// --- check boxes ---------------------------------------------------------------------------------
enum MarkKind { kMarkCheck, kMarkRadio };

struct CheckBoxLayout {
    Rect face;      // client area grown by 2 on every side, filled with the face colour
    Rect box;       // where the system mark is drawn
    int mark;       // MarkKind
    Point caption;  // top-left of the caption
};
CheckBoxLayout CheckBoxGeometry(const Rect &client, unsigned long style);
Rect CheckBoxFocusRectangle(const Point &caption, int textWidth);
// The caption of one of the wizard's check boxes, or null for the window text.
const char *CheckBoxCaption(int controlId);
enum { kCheckBoxCaptionLimit = 127 };

// --- list and combo items ------------------------------------------------------------------------
// The rectangle the item's text is drawn in, or 0 when the index has no item (background only).
int ListItemTextRect(const Rect &item, unsigned long index, unsigned long count, Rect *text);
