// A Win32 driver for the real setup: starts it, finds its windows, clicks and types as a user
// does (real mouse and keyboard input), captures windows from the screen, and reads the
// setup's own glyph font to recognise the characters it draws.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace driver {

const char kWizardCaption[] = "Tessovar Chinese Input Engine Installer";
const char kMessageCaption[] = "Inkleaf Install Message";
const char kChooserCaption[] = "Choose Destination Directory";

struct Setup {
    PROCESS_INFORMATION process = {};
    HWND wizard = nullptr;
};

// Starts the setup (TESSO_SETUP_EXE unless exe is given) and waits for its wizard.
// workingFolder is the setup's current directory (where the folder chooser starts).
bool StartSetup(Setup *setup, const std::string &exe = "", const std::string &workingFolder = "");
// A copy of the setup (TESSO_SETUP_EXE) in a fresh folder whose payload stream has one byte
// changed; empty on failure.
std::string DamagedSetupCopy(unsigned short payloadId);
// A copy of the setup whose payload holds `content` instead, recorded as intact in the copy's own
// checks, so that only the setup's use of the content can fail; empty on failure.
std::string SetupCopyWithPayload(unsigned short payloadId, const std::string &content);
// The packed stream of one payload of an exe (found as the setup finds it: in its one resource of
// streams, at the sizes of the streams before it); empty when it has none.
std::vector<char> PayloadStream(const std::string &exe, unsigned short payloadId);
// The token the setup is started with (CreateProcessAsUser), or null for the driver's own: Wine
// never runs a program unelevated by itself, so a test gives it a token without Administrators.
extern HANDLE SetupToken;
// Only starts the process.
bool LaunchSetup(Setup *setup, const std::string &exe = "", const std::string &workingFolder = "");
// The window that has the keyboard focus in the setup's thread.
HWND FocusedWindow(const Setup &setup);
// The exit code, or -1 when the process had to be killed after the timeout.
int WaitForExit(Setup *setup, int timeoutMs = 20000);
bool HasExited(const Setup &setup);

// A visible top-level window of the process with this caption, now, or null.
HWND FindProcessWindow(DWORD processId, const char *caption);
// The same, waited for.
HWND WaitForWindow(DWORD processId, const char *caption, int timeoutMs = 10000);
bool WaitForWindowGone(HWND window, int timeoutMs = 10000);
HWND Control(HWND dialog, int id);
bool IsShown(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
std::string Text(HWND dialog, int id);
void SetText(HWND dialog, int id, const std::string &text);

// Real input: the window is brought to the front first. Click and Key return the tick count at
// which the button or key went up.
DWORD Click(HWND control);
void MouseDown(HWND control);
void MouseUpAway(HWND awayFrom);  // releases elsewhere, so the press does not click
DWORD Key(WORD virtualKey);
void KeyWith(WORD heldKey, WORD virtualKey);  // such as Alt+F4: VK_MENU held while F4 is pressed
DWORD ClickAt(HWND window, POINT screen);     // a click at a point of the screen over `window`
void Focus(HWND control);                     // by a click for buttons, by the dialog manager otherwise
bool WaitUntil(bool (*condition)(void *), void *context, int timeoutMs = 5000);

// Sends WM_NULL to a window from a thread of its own, one after the other, for as long as it
// runs, and keeps the longest time an answer took: the time the system measures when it decides
// that a window is hung. Messages that could not be sent (the window is gone) do not count.
class AnswerWatch {
  public:
    explicit AnswerWatch(HWND window);
    ~AnswerWatch();
    AnswerWatch(const AnswerWatch &) = delete;
    AnswerWatch &operator=(const AnswerWatch &) = delete;
    void Stop();
    double LongestMs() const { return longestMs_; }
    int Answers() const { return answers_; }

  private:
    static DWORD WINAPI Run(void *watch);
    HWND window_;
    HANDLE thread_ = nullptr;
    volatile LONG stop_ = 0;
    double longestMs_ = 0;
    int answers_ = 0;
};

struct Image {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
    uint32_t At(int x, int y) const { return pixels[y * width + x]; }
};

Image Capture(HWND window);  // what the screen shows of it
Image Crop(const Image &image, const RECT &area);
RECT ClientArea(HWND window, HWND relativeTo);  // control rectangle within a window capture
bool SavePng(const Image &image, const std::string &path);
std::string ScreenshotPath(const std::string &name);  // in TESSO_SCREENSHOTS, or empty
void SaveScreenshot(HWND window, const std::string &name);

// One 16x16 glyph of the setup's font: bit 15 of each row is the leftmost pixel, 1 is ink.
using Glyph = std::vector<uint16_t>;
Glyph LoadGlyph(unsigned code);
// Searches an area for the glyph drawn with ink of the given colour on any other colour; only its
// top `rows` rows are compared (a focus mark may cross the bottom of a pressed caption).
bool FindGlyph(const Image &image, const Glyph &glyph, uint32_t ink, const RECT &area, POINT *at,
               int rows = 16);
// Finds every character of a GBK string in order, left to right; returns the first position.
bool FindChineseText(const Image &image, const char *gbk, uint32_t ink, const RECT &area, POINT *at);

std::string Environment(const char *name);
std::string WindowsPath(const std::string &path);  // a Unix path through Wine's Z: drive
std::string FreshFolder(const std::string &name);

}  // namespace driver
