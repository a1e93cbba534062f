// src/wizard/: the window the user sees. Its pages and the answers they collect, the folder
// chooser, the bilingual message box, and what the install asks of the window while it runs.
//
// The wizard's page logic without windows: what Next, Back and Cancel do on each page, the order
// of the language list, and the cutting of the Chinese licence into list lines.
#pragma once

#include "base/setup_state.h"  // the page numbers

// What the window must do after a command; the page variables are already updated.
struct PageChange {
    int showPage;      // page to show, or -1 for none
    int clearAnswers;  // uncheck both display answers after showing
    int askForAnswer;  // "Please select a choice."
    int finalNext;     // run the install
};

// Next with the current state of the two display answers (1007 OK, 1008 NO). While the install
// runs, Next, Back and Cancel do nothing.
PageChange OnWizardNext(int okChecked, int noChecked);
PageChange OnWizardBack();
void OnWizardCancel();
// Back is shown and enabled on every page but the first.
int BackButtonShown(int page);

enum { kLanguageCount = 3 };
// "English 英文", "Chinese(Simplified)  中文简体" or "Chinese(Traditional) 中文繁体" by value; ""
// for any other value (an empty combo box's item).
const char *LanguageName(int value);
// The values of the list in display order: the current language first, the others in table order.
void LanguageListOrder(int forceLanguage, int order[kLanguageCount]);

enum { kLicenceBufferSize = 65536, kLicenceLineLimit = 500 };

// Cuts a zero-terminated text into CR-ended lines (CR LF ends one line; a lone LF stays inside;
// an unterminated last line is dropped), at most 500. The text is changed in place.
// Returns the number of lines; lines[i] points at each, inside the text.
int CutLicenceLines(char *text, const char *lines[kLicenceLineLimit]);

// Unpacks a licence payload into a buffer of kLicenceBufferSize bytes and terminates it. A text
// that would fill the whole buffer leaves no room for the terminator and is refused like one
// that does not fit. 1 = loaded.
int UnpackLicence(unsigned short id, char *buffer);
