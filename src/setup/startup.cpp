#include "setup/startup.h"

#include <cstring>
#include <strings.h>

#include "base/path_text.h"
#include "base/setup_state.h"

VersionFlags VersionFlagsFor(int versionKnown, unsigned long platformId, unsigned long majorVersion) {
    VersionFlags flags = {0, 0};
    if (versionKnown) {
        flags.isNtPlatform = platformId == kPlatformWin32Nt;
        flags.isOldShell = majorVersion == 3;
    }
    return flags;
}

int UiLanguageFor(int hasDbcsCodePage, unsigned short systemLanguageId) {
    const unsigned kLangChinese = 4;
    if (!hasDbcsCodePage || (systemLanguageId & 0x3FF) != kLangChinese)
        return 0;
    // Odd sublanguages are Taiwan, Hong Kong SAR and Macao SAR.
    return ((systemLanguageId >> 10) & 1) ? 2 : 1;
}

void SetupDirFromModulePath(char *setupDir, const char *modulePath) {
    if (!FolderPartOf(setupDir, modulePath))
        std::strcpy(setupDir, "A:\\");
}

static int IsCheckOrRadioStyle(unsigned long style) {
    static const unsigned long kChoiceStyles[] = {kCheckBox,   kAutoCheckBox,   kRadioButton,
                                                  kThreeState, kAutoThreeState, kAutoRadioButton};
    for (unsigned long choice : kChoiceStyles)
        if ((style & 0xFF) == choice)
            return 1;
    return 0;
}

EnterRoute RouteEnterKey(const char *focusClass, unsigned long focusStyle, int focusId,
                         int defaultCommandId) {
    if (focusClass && strcasecmp(focusClass, "button") == 0 && !IsCheckOrRadioStyle(focusStyle))
        return EnterRoute{focusId, 1};
    return EnterRoute{defaultCommandId, 0};
}
