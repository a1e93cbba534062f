#include "wizard/wizard_state.h"

#include "base/setup_state.h"
#include "payload/payload_store.h"

// Indexed by the language value.
static const char *const kLanguageNames[kLanguageCount] = {
    "English 英文",
    "Chinese(Simplified)  中文简体",
    "Chinese(Traditional) 中文繁体",
};

const char *LanguageName(int value) {
    return value >= 0 && value < kLanguageCount ? kLanguageNames[value] : "";
}

static PageChange NoChange() { return PageChange{-1, 0, 0, 0}; }

// The wizard answers its messages while the install runs, so a command can reach it then (one
// posted before the install began, or the taskbar's Close, which the dialog manager turns into
// Cancel): none changes anything until the result has been shown.
static int Installing() { return WizardPage == kPageInstalling; }

PageChange OnWizardNext(int okChecked, int noChecked) {
    PageChange change = NoChange();
    if (Installing())
        return change;
    switch (WizardPage) {
    case kPageFolder:
        WizardPage = kPageDisplayTest;
        change.showPage = WizardPage;
        change.clearAnswers = 1;  // each entry from page 0 asks afresh
        break;
    case kPageDisplayTest:
        DisplayOk = okChecked ? 1 : 0;
        if (!okChecked && !noChecked) {
            change.askForAnswer = 1;
            break;
        }
        // The licence page opens on the Chinese text: the language is chosen only on the page
        // after it, and takes effect at the final Next.
        WizardPage = kPageLicence;
        change.showPage = WizardPage;
        break;
    case kPageLicence:
        WizardPage = kPageLanguage;
        change.showPage = WizardPage;
        break;
    default:
        if (WizardPage >= kPageLanguage)
            change.finalNext = 1;
        break;
    }
    return change;
}

PageChange OnWizardBack() {
    PageChange change = NoChange();
    if (WizardPage > kPageFolder && !Installing()) {
        WizardPage--;
        change.showPage = WizardPage;
    }
    return change;
}

void OnWizardCancel() {
    if (!Installing())
        WizardPage = kPageLeave;
}

int BackButtonShown(int page) { return page != kPageFolder; }

void LanguageListOrder(int forceLanguage, int order[kLanguageCount]) {
    for (int value = 0; value < kLanguageCount; value++) {
        if (value == forceLanguage) {  // inserted at the top
            for (int i = value; i > 0; i--)
                order[i] = order[i - 1];
            order[0] = value;
        } else {
            order[value] = value;
        }
    }
}

int CutLicenceLines(char *text, const char *lines[kLicenceLineLimit]) {
    int count = 0;
    char *line = text;
    while (count < kLicenceLineLimit) {
        char *end = line;
        while (*end && *end != '\r')
            end++;
        if (!*end)
            break;  // the unterminated rest is not a line
        *end = 0;
        lines[count++] = line;
        line = end + 1;
        if (*line == '\n')
            line++;
    }
    return count;
}

int UnpackLicence(unsigned short id, char *buffer) {
    unsigned long length = 0;
    unsigned char *bytes = reinterpret_cast<unsigned char *>(buffer);
    if (UnpackPayload(id, bytes, kLicenceBufferSize, &length) != kPayloadOk || length >= kLicenceBufferSize)
        return 0;
    buffer[length] = 0;
    return 1;
}
