// Painting of every program-drawn control: buttons and labels, list items, the option check boxes
// and the sample line.
#pragma once

#include <windows.h>

void DrawOwnerControl(const DRAWITEMSTRUCT *item);
// The same with the caption given: a text the program keeps itself, never read back from the
// window (on NT that would pass it through the system code page, which garbles GBK elsewhere).
void DrawOwnerControlWithCaption(const DRAWITEMSTRUCT *item, const char *caption);
// One item of an owner-drawn list or combo box of `count` items, drawn from the program's own
// bytes (the lists keep no strings, for the same reason).
void DrawListItem(const DRAWITEMSTRUCT *item, int isComboBox, const char *text, unsigned long count);
void SubclassCheckButton(HWND dialog, int controlId);
void DrawSampleLine(HDC surface, int x, int y, const char *text, int byteCount);
void CreateSampleFont();
