#include "landing/file_holder.h"

#include <windows.h>

#include "base/path_text.h"
#include "base/setup_state.h"
#include "base/system_functions_win32.h"
#include "landing/work_folder.h"

namespace {

// A few programs at once hold the same file at most (a scanner, an indexer, a sync client); a list
// that does not fit is reported as ERROR_MORE_DATA with nothing in it, and nobody is named then.
const UINT kHoldersListed = 6;

// Copies the wide name into the code page, cut at a character's boundary: the message shows it
// beside the file's name, both in the system's code page. IsDBCSLeadByte is in every Windows.
void CopyInCodePage(const WCHAR *wide, char *out, unsigned long size) {
    char whole[2 * (CCH_RM_MAX_APP_NAME + 1)];
    int made = WideCharToMultiByte(CP_ACP, 0, wide, -1, whole, sizeof whole, nullptr, nullptr);
    unsigned long length = 0;
    for (int i = 0; made > 0 && whole[i];) {
        int step = IsDBCSLeadByte(static_cast<BYTE>(whole[i])) && whole[i + 1] ? 2 : 1;
        if (length + step >= size)
            break;
        for (int k = 0; k < step; k++)
            out[length++] = whole[i++];
    }
    out[length] = 0;
}

}  // namespace

// A Restart Manager session lives from RmStartSession to RmEndSession, and only files registered
// with it are asked about; each program it lists has the file open now (a service too, under its
// display name); the setup holds neither name open when it asks. RmRegisterResources wants full paths in
// Unicode: the setup's are in the code page, converted with MultiByteToWideChar (in every NT).
int NameProgramHolding(const char *name, char *program, unsigned long size) {
    auto start = FindSystemFunction<SystemFunction::RmStartSession>();
    auto enlist = FindSystemFunction<SystemFunction::RmRegisterResources>();
    auto list = FindSystemFunction<SystemFunction::RmGetList>();
    auto end = FindSystemFunction<SystemFunction::RmEndSession>();
    char final[kPathBufferSize], aside[kPathBufferSize];
    WCHAR wideFinal[kPathBufferSize], wideAside[kPathBufferSize];
    if (!IsNtPlatform || !start || !enlist || !list || !end || size == 0 ||
        !JoinPath(final, InstallDir, name) || !KeptAsidePath(aside, name) ||
        !MultiByteToWideChar(CP_ACP, 0, final, -1, wideFinal, kPathBufferSize) ||
        !MultiByteToWideChar(CP_ACP, 0, aside, -1, wideAside, kPathBufferSize))
        return 0;
    DWORD session = 0;
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    if (start(&session, 0, key) != ERROR_SUCCESS)
        return 0;
    LPCWSTR files[] = {wideFinal, wideAside};
    RM_PROCESS_INFO holders[kHoldersListed];
    UINT needed = 0, count = kHoldersListed;
    DWORD reasons = 0;
    int named = 0;
    if (enlist(session, 2, files, 0, nullptr, 0, nullptr) == ERROR_SUCCESS &&
        list(session, &needed, &count, holders, &reasons) == ERROR_SUCCESS) {
        for (UINT i = 0; i < count && i < kHoldersListed && !named; i++)
            if (holders[i].strAppName[0]) {
                CopyInCodePage(holders[i].strAppName, program, size);
                named = program[0] != 0;
            }
    }
    end(session);
    return named;
}
