#include "wizard/folder_chooser_win32.h"

#include <commdlg.h>
#include <direct.h>

#include <cstdio>
#include <cstring>

#include "base/dll_search_win32.h"
#include "base/format_text.h"
#include "base/path_text.h"
#include "base/resource_ids.h"
#include "base/scoped_win32.h"
#include "base/setup_state_win32.h"
#include "base/system_functions_win32.h"
#include "glyphs/owner_draw_win32.h"

namespace {

// OFN_LONGNAMES: without it the old-style dialog of 95 and NT 4.0, and of every later Windows,
// lists and opens folders by their 8.3 names, so that choosing "Program Files" would put
// C:\PROGRA~1 into the folder field, the shortcuts and the product's paths, and on a volume
// without 8.3 names a folder with a space could not be entered at all. Explorer-style dialogs,
// and Wine's old-style one, ignore the flag.
const DWORD kChooserFlags = OFN_PATHMUSTEXIST | OFN_ENABLETEMPLATE | OFN_ENABLEHOOK | OFN_NOCHANGEDIR |
                            OFN_HIDEREADONLY | OFN_LONGNAMES;

const char kChooserCaption[] = "Choose Destination Directory";  // as the template says
char ChooserFileBuffer[128];
// The folder the chooser ended on, for the field: the install reads InstallDir from the field only.
char ChosenFolder[kPathBufferSize];

INT_PTR OnChooserOk(HWND dialog) {
    if (!_getcwd(ChosenFolder, sizeof ChosenFolder))
        return 0;  // the common dialog handles OK itself
    if (EndsWithSeparator(ChosenFolder))
        ChosenFolder[std::strlen(ChosenFolder) - 1] = 0;  // a drive root such as C:\ becomes C:
    EndDialog(dialog, 1);
    return 1;
}

}  // namespace

static UINT_PTR CALLBACK FolderChooserHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        // Some platforms put a title of their own over the template's caption.
        SetWindowTextA(dialog, kChooserCaption);
        HWND cancel = GetDlgItem(dialog, IDCANCEL);
        SetWindowLongA(cancel, GWL_STYLE, GetWindowLongA(cancel, GWL_STYLE) | BS_OWNERDRAW);
        SetFocus(GetDlgItem(dialog, IDC_CHOOSER_DIRECTORY_LIST));
        return 1;
    }
    case WM_DRAWITEM: {
        // Cancel is made owner-drawn above so that it carries the same bilingual caption.
        const DRAWITEMSTRUCT *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (item->CtlID == IDC_CHOOSER_DIRECTORIES_LABEL || item->CtlID == IDC_CHOOSER_DRIVES_LABEL ||
            item->CtlID == IDCANCEL) {
            DrawOwnerControl(item);
            return 1;
        }
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            return OnChooserOk(dialog);
        return 0;
    }
    return 0;
}

void ChooseInstallFolder(HWND wizard) {
    OPENFILENAMEA request = {};
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    request.hwndOwner = wizard;
    request.lpstrFile = ChooserFileBuffer;
    ChooserFileBuffer[0] = 0;
    request.nMaxFile = sizeof ChooserFileBuffer;
    request.Flags = kChooserFlags;
    request.lpfnHook = reinterpret_cast<LPOFNHOOKPROC>(FolderChooserHook);
    request.lpTemplateName = MAKEINTRESOURCEA(IDD_FOLDER_CHOOSER);
    // The module that holds template 168, as OFN_ENABLETEMPLATE documents it on every Windows from
    // 95 and NT 4.0 on; a null handle is not documented to mean the program's own module.
    request.hInstance = ProgramInstance;
    // comdlg32 is loaded by its full path: as a static import it would bring its own import,
    // comctl32, from the program's folder before any code runs.
    PreloadSystemDlls();
    auto open = FindSystemFunction<SystemFunction::GetOpenFileNameA>();
    BOOL chosen;
    {
        // Opening a directory in the chooser makes it the current directory; some platforms do not
        // put the old one back when the hook ends the dialog, so it is restored here.
        SavedCurrentDirectory previous;
        chosen = open && open(&request);
    }
    if (!chosen)
        return;
    char folder[kPathBufferSize];
    int length = FormatText(folder, sizeof folder, "%s\\%s", ChosenFolder, ProductFolderName);
    if (length < 0 || length >= kPathBufferSize)
        return;  // too long for a path: the field keeps what it had
    SetDlgItemTextA(wizard, IDC_FOLDER, folder);
}
