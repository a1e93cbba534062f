#include "wizard_driver.h"

#include "glyphs/glyph_cell.h"
#include "png.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>

namespace driver {

namespace {

const int kPollMs = 20;

struct WindowSearch {
    DWORD processId;
    const char *caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
    WindowSearch *search = reinterpret_cast<WindowSearch *>(context);
    DWORD process = 0;
    char caption[256] = "";
    GetWindowThreadProcessId(window, &process);
    GetWindowTextA(window, caption, sizeof caption);
    if (process == search->processId && IsWindowVisible(window) &&
        std::strcmp(caption, search->caption) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

void BringToFront(HWND control) {
    HWND top = GetAncestor(control, GA_ROOT);
    SetForegroundWindow(top);
    Sleep(50);
}

void MoveMouseTo(int x, int y) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
    Sleep(30);
}

void MouseButton(DWORD flag) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    SendInput(1, &input, sizeof input);
    Sleep(60);
}

// Two clicks closer than the double-click time are a double-click, which a check box with the
// notify style reports instead of toggling; a user's separate clicks are further apart.
void WaitOutDoubleClick() {
    static DWORD lastClick = 0;
    DWORD gap = GetDoubleClickTime() + 50;
    DWORD since = GetTickCount() - lastClick;
    if (lastClick && since < gap)
        Sleep(gap - since);
    lastClick = GetTickCount();
}

// After input, waits until the window's process has handled it and sits idle in its message loop
// again, so that checks right after a click see its effect even on a busy machine.
void SettleAfterInput(HWND window) {
    Sleep(100);
    DWORD processId = 0;
    if (!window || !GetWindowThreadProcessId(window, &processId))
        return;
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (process) {
        WaitForInputIdle(process, 5000);
        CloseHandle(process);
    }
    Sleep(50);
}

void MoveToCentre(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MoveMouseTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

const std::vector<unsigned char> &GlyphFont() {
    static std::vector<unsigned char> font;
    if (!font.empty())
        return font;
    std::string exe = WindowsPath(Environment("TESSO_SETUP_EXE"));
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC resource = module ? FindResourceA(module, MAKEINTRESOURCEA(110), "TEXT") : nullptr;
    if (!resource)
        return font;
    const Bytef *stream = static_cast<const Bytef *>(LockResource(LoadResource(module, resource)));
    std::vector<unsigned char> bytes(307200);
    uLongf length = bytes.size();
    if (uncompress(bytes.data(), &length, stream, SizeofResource(module, resource)) == Z_OK) {
        bytes.resize(length);
        font = bytes;
    }
    FreeLibrary(module);
    return font;
}

// The same cell arithmetic as the setup, restated from the font's layout: GB2312 rows in order,
// 94 cells a row, the hanzi straight after the seventh symbol row.
int CellNumber(unsigned code) {
    unsigned lead = code >> 8, trail = code & 0xFF;
    if (code == 0xE946)
        return 7456;
    if (lead >= 0xB0)
        return 658 + 94 * (lead - 0xB0) + (trail - 0xA1);
    return 94 * (lead - 0xA1) + (trail - 0xA1);
}

bool GlyphAt(const Image &image, const Glyph &glyph, uint32_t ink, int x0, int y0, int rows) {
    for (int row = 0; row < rows; row++) {
        const uint32_t *line = &image.pixels[(y0 + row) * image.width + x0];
        for (int col = 0; col < 16; col++) {
            bool isInk = (glyph[row] >> (15 - col)) & 1;
            if ((line[col] == ink) != isInk)
                return false;
        }
    }
    return true;
}

}  // namespace

std::string WindowsPath(const std::string &path) {
    if (path.empty() || path[0] != '/')
        return path;
    std::string converted = "Z:" + path;  // Wine's Z: drive is the Unix root
    for (char &c : converted)
        if (c == '/')
            c = '\\';
    return converted;
}

std::string Environment(const char *name) {
    char value[2048];
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length && length < sizeof value ? std::string(value) : std::string();
}

std::string FreshFolder(const std::string &name) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    static int made = 0;
    std::string folder = std::string(temp) + name + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                         std::to_string(GetTickCount()) + "-" + std::to_string(++made);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

bool LaunchSetup(Setup *setup, const std::string &exe, const std::string &workingFolder) {
    std::string path = WindowsPath(exe.empty() ? Environment("TESSO_SETUP_EXE") : exe);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string command = "\"" + path + "\"";
    const char *folder = workingFolder.empty() ? nullptr : workingFolder.c_str();
    if (!CreateProcessA(path.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                        &setup->process))
        return false;
    return true;
}

std::string DamagedSetupCopy(unsigned short payloadId) {
    std::string original = WindowsPath(Environment("TESSO_SETUP_EXE"));
    std::string copy = FreshFolder("damaged") + "\\TessoSetup.exe";
    if (!CopyFileA(original.c_str(), copy.c_str(), FALSE))
        return "";
    HMODULE module = LoadLibraryExA(original.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC resource = module ? FindResourceA(module, MAKEINTRESOURCEA(payloadId), "TEXT") : nullptr;
    if (!resource)
        return "";
    const char *bytes = static_cast<const char *>(LockResource(LoadResource(module, resource)));
    std::vector<char> stream(bytes, bytes + SizeofResource(module, resource));
    FreeLibrary(module);
    stream[stream.size() / 2] ^= 0x55;
    HANDLE update = BeginUpdateResourceA(copy.c_str(), FALSE);
    if (!update ||
        !UpdateResourceA(update, "TEXT", MAKEINTRESOURCEA(payloadId),
                         MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), stream.data(),
                         static_cast<DWORD>(stream.size())) ||
        !EndUpdateResourceA(update, FALSE))
        return "";
    return copy;
}

bool StartSetup(Setup *setup, const std::string &exe, const std::string &workingFolder) {
    if (!LaunchSetup(setup, exe, workingFolder))
        return false;
    setup->wizard = WaitForWindow(setup->process.dwProcessId, kWizardCaption, 15000);
    if (setup->wizard)
        Sleep(300);  // let the first paint finish
    return setup->wizard != nullptr;
}

HWND FocusedWindow(const Setup &setup) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(setup.process.dwThreadId, &info) ? info.hwndFocus : nullptr;
}

bool HasExited(const Setup &setup) { return WaitForSingleObject(setup.process.hProcess, 0) == WAIT_OBJECT_0; }

int WaitForExit(Setup *setup, int timeoutMs) {
    if (!setup->process.hProcess)
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(setup->process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(setup->process.hProcess, &code);
    else
        TerminateProcess(setup->process.hProcess, 99);
    CloseHandle(setup->process.hProcess);
    CloseHandle(setup->process.hThread);
    setup->process = {};
    return static_cast<int>(code);
}

HWND FindProcessWindow(DWORD processId, const char *caption) {
    WindowSearch search = {processId, caption, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(DWORD processId, const char *caption, int timeoutMs) {
    for (int waited = 0; waited <= timeoutMs; waited += kPollMs) {
        if (HWND found = FindProcessWindow(processId, caption))
            return found;
        Sleep(kPollMs);
    }
    return nullptr;
}

bool WaitForWindowGone(HWND window, int timeoutMs) {
    for (int waited = 0; waited <= timeoutMs; waited += kPollMs) {
        if (!IsWindow(window) || !IsWindowVisible(window))
            return true;
        Sleep(kPollMs);
    }
    return false;
}

HWND Control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

bool IsShown(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != 0; }

bool IsChecked(HWND dialog, int id) {
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string Text(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    std::vector<char> text(SendMessageA(control, WM_GETTEXTLENGTH, 0, 0) + 1, 0);
    SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

void SetText(HWND dialog, int id, const std::string &text) {
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

DWORD Click(HWND control) {
    WaitOutDoubleClick();
    BringToFront(control);
    MoveToCentre(control);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    DWORD released = GetTickCount();
    MouseButton(MOUSEEVENTF_LEFTUP);
    SettleAfterInput(control);
    return released;
}

void MouseDown(HWND control) {
    WaitOutDoubleClick();
    BringToFront(control);
    MoveToCentre(control);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    SettleAfterInput(control);
}

void MouseUpAway(HWND awayFrom) {
    RECT r;
    GetWindowRect(GetAncestor(awayFrom, GA_ROOT), &r);
    MoveMouseTo(r.left + 20, r.bottom - 12);  // the empty corner of the left panel
    MouseButton(MOUSEEVENTF_LEFTUP);
    SettleAfterInput(awayFrom);
}

DWORD Key(WORD virtualKey) {
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = virtualKey;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    DWORD pressed = GetTickCount();
    SendInput(2, inputs, sizeof inputs[0]);
    SettleAfterInput(GetForegroundWindow());
    return pressed;
}

void Focus(HWND control) {
    HWND dialog = GetParent(control);
    BringToFront(control);
    PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    SettleAfterInput(dialog);
}

bool WaitUntil(bool (*condition)(void *), void *context, int timeoutMs) {
    for (int waited = 0; waited <= timeoutMs; waited += kPollMs) {
        if (condition(context))
            return true;
        Sleep(kPollMs);
    }
    return false;
}

Image Capture(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    Image image;
    image.width = r.right - r.left;
    image.height = r.bottom - r.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, image.width, image.height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const uint32_t *pixels = static_cast<const uint32_t *>(bits);
    image.pixels.assign(pixels, pixels + image.width * image.height);
    for (uint32_t &p : image.pixels)
        p &= 0xFFFFFF;
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

Image Crop(const Image &image, const RECT &area) {
    Image part;
    part.width = area.right - area.left;
    part.height = area.bottom - area.top;
    for (int y = area.top; y < area.bottom; y++)
        for (int x = area.left; x < area.right; x++)
            part.pixels.push_back(image.At(x, y));
    return part;
}

RECT ClientArea(HWND window, HWND relativeTo) {
    RECT r, base;
    GetWindowRect(window, &r);
    GetWindowRect(relativeTo, &base);
    OffsetRect(&r, -base.left, -base.top);
    return r;
}

bool SavePng(const Image &image, const std::string &path) {
    std::string raw;
    for (int y = 0; y < image.height; y++) {
        raw.push_back(0);
        for (int x = 0; x < image.width; x++) {
            uint32_t p = image.At(x, y);
            raw.push_back(static_cast<char>(p >> 16));
            raw.push_back(static_cast<char>(p >> 8));
            raw.push_back(static_cast<char>(p));
        }
    }
    std::string png = PngStart(image.width, image.height, 8, 2, raw, 6) + PngChunk("IEND", "");  // 8-bit RGB
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && ok;
}

std::string ScreenshotPath(const std::string &name) {
    std::string folder = WindowsPath(Environment("TESSO_SCREENSHOTS"));
    if (folder.empty())
        return "";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string locale = Environment("TESSO_LOCALE_TAG");
    return folder + "\\" + name + (locale.empty() ? "" : "-" + locale) + ".png";
}

void SaveScreenshot(HWND window, const std::string &name) {
    std::string path = ScreenshotPath(name);
    if (!path.empty())
        SavePng(Capture(window), path);
}

Glyph LoadGlyph(unsigned code) {
    const std::vector<unsigned char> &font = GlyphFont();
    Glyph glyph(16, 0);
    if (font.size() != kGlyphFontBytes)
        return glyph;
    int n = CellNumber(code);
    int page = n / 1888, within = n % 1888;
    int x = (within % 32) * 16, y = (within / 32) * 16;
    for (int row = 0; row < 16; row++) {
        size_t offset = page * 60416 + (y + row) * 64 + x / 8;
        glyph[row] = static_cast<uint16_t>(~(font[offset] << 8 | font[offset + 1]));
    }
    return glyph;
}

bool FindGlyph(const Image &image, const Glyph &glyph, uint32_t ink, const RECT &area, POINT *at, int rows) {
    for (int y = area.top; y + 16 <= area.bottom && y + 16 <= image.height; y++)
        for (int x = area.left; x + 16 <= area.right && x + 16 <= image.width; x++)
            if (x >= 0 && y >= 0 && GlyphAt(image, glyph, ink, x, y, rows)) {
                *at = POINT{x, y};
                return true;
            }
    return false;
}

bool FindChineseText(const Image &image, const char *gbk, uint32_t ink, const RECT &area, POINT *at) {
    RECT rest = area;
    bool first = true;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(gbk); *p;) {
        if (*p < 0x80) {
            p++;
            continue;
        }
        POINT found;
        if (!FindGlyph(image, LoadGlyph(p[0] << 8 | p[1]), ink, rest, &found))
            return false;
        if (first)
            *at = found;
        first = false;
        rest = RECT{found.x + 16, found.y, area.right, found.y + 16};
        p += 2;
    }
    return !first;
}

}  // namespace driver
