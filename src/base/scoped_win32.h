// Scope holders for what the Win32 API hands out: each releases what it holds when its scope ends,
// on every path out of it. They are inline, non-virtual and not copyable; the setup builds without
// exceptions or RTTI, so each costs exactly the release call written by hand. Objects that live for
// the whole run (the glyph pages, SampleFont, the wizard window) are released by start-up's clean-up
// instead: the shipped program runs no static destructors.
#pragma once

#include <windows.h>

#include <direct.h>
#include <objbase.h>

#include "base/setup_state.h"

// A pen, brush, font or bitmap the caller made. Declare it before the SelectedObject that puts it
// into a surface: holders end in reverse order, so it is selected out before it is deleted.
// DeleteObject refuses an object that is still selected, and on the 95 family the object then stays
// in the 16-bit GDI heap that every program shares; NT frees a process's objects at its exit.
template <class Handle> class GdiObject {
  public:
    explicit GdiObject(Handle object) : object_(object) {}
    ~GdiObject() {
        if (object_)
            DeleteObject(object_);
    }
    GdiObject(const GdiObject &) = delete;
    GdiObject &operator=(const GdiObject &) = delete;
    Handle get() const { return object_; }

  private:
    Handle object_;
};

// An object selected into a surface for the life of a scope; the one it replaced is selected back.
// SelectObject returns null when it fails (a region would give HGDI_ERROR; none is selected here),
// and selecting null back then fails harmlessly, on every Windows from 95 and NT 4.0 on.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject &) = delete;
    SelectedObject &operator=(const SelectedObject &) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A window's surface from the system's cache (GetDC), given back with ReleaseDC. Windows 3.x had five
// such surfaces for the whole system; 95 and NT make another when none is free, so one not given back
// is lost to the process for good.
class WindowDC {
  public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC &) = delete;
    WindowDC &operator=(const WindowDC &) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// One WM_PAINT cycle: BeginPaint's surface, EndPaint at the end (which also validates the window:
// without it the system sends WM_PAINT again at once, on every Windows).
class PaintCycle {
  public:
    explicit PaintCycle(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintCycle() { EndPaint(window_, &paint_); }
    PaintCycle(const PaintCycle &) = delete;
    PaintCycle &operator=(const PaintCycle &) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_;
    HDC dc_;
};

// Every attribute of a surface the system hands over (colours, modes, selected objects), saved on
// entry and put back on exit with SaveDC and RestoreDC, as Windows 95 and NT 4.0 already have them.
class SavedDcState {
  public:
    explicit SavedDcState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~SavedDcState() { RestoreDC(dc_, saved_); }
    SavedDcState(const SavedDcState &) = delete;
    SavedDcState &operator=(const SavedDcState &) = delete;

  private:
    HDC dc_;
    int saved_;
};

// A kernel object's handle (a file, a folder opened for its identity, a token). CreateFileA reports
// failure as INVALID_HANDLE_VALUE, most other calls as null; neither is closed.
class KernelHandle {
  public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE handle) : handle_(handle) {}
    ~KernelHandle() {
        if (valid())
            CloseHandle(handle_);
    }
    KernelHandle(const KernelHandle &) = delete;
    KernelHandle &operator=(const KernelHandle &) = delete;
    bool valid() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    HANDLE *Receive() { return &handle_; }  // for a call that writes the handle

  private:
    HANDLE handle_ = nullptr;
};

// A FindFirstFileA search. It is closed with FindClose, never CloseHandle: on the 95 family a search
// handle is no kernel handle at all.
class FindHandle {
  public:
    FindHandle(const char *pattern, WIN32_FIND_DATAA *found) : search_(FindFirstFileA(pattern, found)) {}
    ~FindHandle() {
        if (valid())
            FindClose(search_);
    }
    FindHandle(const FindHandle &) = delete;
    FindHandle &operator=(const FindHandle &) = delete;
    bool valid() const { return search_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE search_;
};

// A COM interface, released when the scope ends.
template <class Interface> class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() {
        if (pointer_)
            pointer_->Release();
    }
    ComPtr(const ComPtr &) = delete;
    ComPtr &operator=(const ComPtr &) = delete;
    Interface **Receive() { return &pointer_; }
    Interface *get() const { return pointer_; }
    Interface *operator->() const { return pointer_; }

  private:
    Interface *pointer_ = nullptr;
};

// A block the shell allocated (an item id list), given back to the allocator SHGetMalloc named. The
// shell of 95 and NT 4.0 has an allocator of its own, not the OLE task allocator that later shells
// share, so CoTaskMemFree would be wrong there. Declare it after the allocator's ComPtr: it frees
// the block before the allocator is released.
template <class Block> class ShellBlock {
  public:
    ShellBlock(IMalloc *allocator, Block block) : allocator_(allocator), block_(block) {}
    ~ShellBlock() {
        if (block_)
            allocator_->Free(block_);
    }
    ShellBlock(const ShellBlock &) = delete;
    ShellBlock &operator=(const ShellBlock &) = delete;
    Block get() const { return block_; }

  private:
    IMalloc *allocator_;
    Block block_;
};

// The current directory, put back when the scope ends (when it could be read at the start). A path
// longer than the buffer is not read, and then nothing is put back.
class SavedCurrentDirectory {
  public:
    SavedCurrentDirectory() : saved_(_getcwd(path_, sizeof path_) != nullptr) {}
    ~SavedCurrentDirectory() {
        if (saved_)
            _chdir(path_);
    }
    SavedCurrentDirectory(const SavedCurrentDirectory &) = delete;
    SavedCurrentDirectory &operator=(const SavedCurrentDirectory &) = delete;

  private:
    char path_[kPathBufferSize];
    bool saved_;
};
