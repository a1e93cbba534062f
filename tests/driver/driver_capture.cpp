// What the screen shows of a window, cropped, and saved as PNG screenshots.
#include "wizard_driver.h"

#include <cstdio>

#include "png.h"

namespace driver {

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

}  // namespace driver
