#include "wizard/wizard_template_win32.h"

#include <cstring>

#include "base/malloc_buffer.h"
#include "base/resource_ids.h"
#include "base/setup_state_win32.h"

// Creating a control costs little on Windows but about half a millisecond under Wine, and a combo
// box several (its list is a window of its own): the first page shows sooner when the controls it
// does not show are made after it is painted. The template itself stays whole.

namespace {

// An extended dialog template: a fixed header, the menu, class and caption fields, the font (point
// size, weight, italic and character set, then its face), then the items, each on a 4-byte
// boundary.
const int kHeaderBytes = 26, kStyleOffset = 12, kItemCountOffset = 16, kFontFixedBytes = 6;
// An item: help id, extended style, style, x, y, width, height, id, then its class and title
// fields and the size of its creation data.
const int kItemExtendedStyleOffset = 4, kItemStyleOffset = 8, kItemBoxOffset = 12, kItemIdOffset = 20,
          kItemClassOffset = 24;

struct TemplateItem {
    const BYTE *start, *end;  // its bytes, without the padding after them
    DWORD extendedStyle, style, id;
    short box[4];  // x, y, width, height in dialog units
    const WORD *className, *title;
};

// A field that is either 0xFFFF and a number, or a string of 16-bit characters.
const BYTE *SkipField(const BYTE *field) {
    const WORD *word = reinterpret_cast<const WORD *>(field);
    if (*word == 0xFFFF)
        return field + 4;
    while (*word++) {
    }
    return reinterpret_cast<const BYTE *>(word);
}

const BYTE *Aligned(const BYTE *at, const BYTE *base) { return base + ((at - base + 3) & ~3); }

const BYTE *FirstItem(const BYTE *base) {
    const BYTE *at = base + kHeaderBytes;
    for (int k = 0; k < 3; k++)
        at = SkipField(at);
    DWORD style;
    std::memcpy(&style, base + kStyleOffset, sizeof style);
    if (style & DS_SETFONT)
        at = SkipField(at + kFontFixedBytes);
    return Aligned(at, base);
}

// Reads the item at `at`; returns where the next one starts.
const BYTE *ReadItem(const BYTE *at, const BYTE *base, TemplateItem *item) {
    item->start = at;
    std::memcpy(&item->extendedStyle, at + kItemExtendedStyleOffset, sizeof item->extendedStyle);
    std::memcpy(&item->style, at + kItemStyleOffset, sizeof item->style);
    std::memcpy(item->box, at + kItemBoxOffset, sizeof item->box);
    std::memcpy(&item->id, at + kItemIdOffset, sizeof item->id);
    item->className = reinterpret_cast<const WORD *>(at + kItemClassOffset);
    const BYTE *title = SkipField(at + kItemClassOffset);
    item->title = reinterpret_cast<const WORD *>(title);
    const BYTE *data = SkipField(title);
    WORD dataBytes;
    std::memcpy(&dataBytes, data, sizeof dataBytes);
    item->end = data + sizeof dataBytes + dataBytes;
    return Aligned(item->end, base);
}

int ItemCount(const BYTE *base) {
    WORD count;
    std::memcpy(&count, base + kItemCountOffset, sizeof count);
    return count;
}

const BYTE *WizardTemplate(DWORD *bytes) {
    HRSRC found = FindResourceA(ProgramInstance, MAKEINTRESOURCEA(IDD_WIZARD), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(ProgramInstance, found) : nullptr;
    *bytes = loaded ? SizeofResource(ProgramInstance, found) : 0;
    return loaded ? static_cast<const BYTE *>(LockResource(loaded)) : nullptr;
}

// A class or title field as text: a string as it is (the template's are plain ASCII), a predefined
// class by its number; empty for any other number.
void FieldText(const WORD *field, char *text, int size) {
    static const char *const kPredefined[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
    const unsigned kFirstPredefined = 0x80;
    text[0] = 0;
    if (field[0] == 0xFFFF) {
        unsigned ordinal = field[1] - kFirstPredefined;
        if (ordinal < sizeof kPredefined / sizeof kPredefined[0])
            lstrcpynA(text, kPredefined[ordinal], size);
        return;
    }
    int i = 0;
    for (; i < size - 1 && field[i]; i++)
        text[i] = static_cast<char>(field[i]);
    text[i] = 0;
}

}  // namespace

HWND CreateWizardWithShownControls(DLGPROC procedure) {
    DWORD bytes;
    const BYTE *base = WizardTemplate(&bytes);
    MallocBuffer<BYTE> copy = AllocateBuffer<BYTE>(bytes + 4);
    if (!base || !copy)
        return nullptr;
    std::memset(copy.get(), 0, bytes + 4);
    const BYTE *at = FirstItem(base);
    BYTE *out = copy.get() + (at - base);
    std::memcpy(copy.get(), base, at - base);
    WORD shown = 0;
    for (int i = 0; i < ItemCount(base) && at < base + bytes; i++) {
        TemplateItem item;
        at = ReadItem(at, base, &item);
        if (!(item.style & WS_VISIBLE))
            continue;
        std::memcpy(out, item.start, item.end - item.start);
        out = const_cast<BYTE *>(Aligned(out + (item.end - item.start), copy.get()));
        shown++;
    }
    std::memcpy(copy.get() + kItemCountOffset, &shown, sizeof shown);
    return CreateDialogIndirectParamA(ProgramInstance, reinterpret_cast<LPCDLGTEMPLATEA>(copy.get()), nullptr,
                                      procedure, 0);
}

int CreateHiddenControls(HWND dialog, Scale scale) {
    DWORD bytes;
    const BYTE *base = WizardTemplate(&bytes);
    if (!base)
        return 0;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    const BYTE *at = FirstItem(base);
    HWND previous = HWND_TOP;
    int made = 1;
    for (int i = 0; i < ItemCount(base) && at < base + bytes; i++) {
        TemplateItem item;
        at = ReadItem(at, base, &item);
        HWND control = GetDlgItem(dialog, item.id);
        if (!control) {
            RECT box = {item.box[0], item.box[1], item.box[0] + item.box[2], item.box[1] + item.box[3]};
            MapDialogRect(dialog, &box);
            Rect scaled = ScaleRect(Rect{box.left, box.top, box.right, box.bottom}, scale);
            char className[32], title[64];
            FieldText(item.className, className, sizeof className);
            FieldText(item.title, title, sizeof title);
            // As the dialog manager makes a control for a program of our version: a border
            // becomes a sunken client edge.
            DWORD style = item.style | WS_CHILD, extendedStyle = item.extendedStyle | WS_EX_NOPARENTNOTIFY;
            if (style & WS_BORDER) {
                style &= ~WS_BORDER;
                extendedStyle |= WS_EX_CLIENTEDGE;
            }
            control = CreateWindowExA(extendedStyle, className, title, style, scaled.left, scaled.top,
                                      scaled.right - scaled.left, scaled.bottom - scaled.top, dialog,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), ProgramInstance,
                                      nullptr);
            if (!control) {
                made = 0;
                continue;
            }
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        previous = control;
    }
    return made;
}
