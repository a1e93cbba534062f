// Painting of every program-drawn control: buttons and labels, list items, the option check boxes
// and the sample line.
#pragma once

#include <windows.h>

void DrawOwnerControl(const DRAWITEMSTRUCT *item, HWND dialog);
void DrawListItem(int controlId, int isComboBox, const DRAWITEMSTRUCT *item, HWND dialog);
void PaintCheckButton(HWND button, HDC surface);
LRESULT CALLBACK CheckButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void SubclassCheckButton(HWND dialog, int controlId);
void DrawSampleLine(HDC surface, int x, int y, const char *text, int byteCount);
int CreateSampleFont();
