// Entry of the Windows-side test programs: the payloads and dialogs are in this module, and the
// glyph pages are built as start-up builds them, so message boxes show their Chinese text.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "base/setup_state_win32.h"
#include "base/system_version.h"
#include "glyphs/glyph_pages_win32.h"
#include "payload/payload_store.h"

int main(int argc, char **argv) {
    ProgramInstance = GetModuleHandleA(nullptr);
    unsigned long platformId = 0;
    ReadRunningSystem(&platformId);  // IsNtPlatform is each test's own choice
    ProductFolderName = "Tesso";
    std::vector<unsigned char> font(307200);
    unsigned long length = 0;
    if (UnpackPayload(110, font.data(), font.size(), &length) == kPayloadOk)
        BuildGlyphPages(font.data());
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    ReleaseGlyphPages();
    return result;
}
