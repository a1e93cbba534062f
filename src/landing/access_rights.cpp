// Which accounts an installed program's access list names, by system version: a table, so that the
// tests can check it for every system without a Windows of each kind.
#include "landing/access_rights.h"

const WellKnownSid kAdministratorsSid = {1, 2, {0, 0, 0, 0, 0, 5}, {32, 544}};
const WellKnownSid kLocalSystemSid = {1, 1, {0, 0, 0, 0, 0, 5}, {18}};
const WellKnownSid kEveryoneSid = {1, 1, {0, 0, 0, 0, 0, 1}, {0}};
// The service SID of TrustedInstaller, which owns the system's own folders from Vista on: S-1-5-80
// followed by the SHA-1 of the upper-case service name, the same on every system.
const WellKnownSid kTrustedInstallerSid = {
    1, 6, {0, 0, 0, 0, 0, 5}, {80, 956008885, 3418522649u, 1831038044, 1853292631, 2271478464u}};
// The application package authority (15) came with app containers in Windows 8: "ALL APPLICATION
// PACKAGES" stands for every app container. "ALL RESTRICTED APPLICATION PACKAGES" came with the
// less privileged app containers of Windows 10 version 1607 (build 14393), which are not members of
// the first. Earlier systems do not resolve either: an entry for one there would show as an unknown
// account in the file's properties and grant nothing.
const WellKnownSid kAllAppPackagesSid = {1, 2, {0, 0, 0, 0, 0, 15}, {2, 1}};
const WellKnownSid kAllRestrictedAppsSid = {1, 2, {0, 0, 0, 0, 0, 15}, {2, 2}};

namespace {

struct ProgramAccessRow {
    const WellKnownSid *sid;
    uint32_t mask;
    SystemVersion since;  // the first system that knows the account
};

// The administrators and the system may change the programs; everyone else may read and run them.
// Sandboxed processes (Store apps, the browsers' and Office's sandboxes, the touch keyboard's and
// search's hosts) are not "everyone": from Windows 8 on they are let in only where a list names
// their groups, as the system's own lists on Program Files do. A keyboard-hook DLL of the engine is
// loaded into every program that takes typing, sandboxed ones included, and without these two
// entries the load fails there and no Chinese can be typed in them.
const ProgramAccessRow kProgramAccessRows[] = {
    {&kAdministratorsSid, kAccessFull, {3, 51, 0}},
    {&kLocalSystemSid, kAccessFull, {3, 51, 0}},
    {&kEveryoneSid, kAccessReadExecute, {3, 51, 0}},
    {&kAllAppPackagesSid, kAccessReadExecute, {6, 2, 0}},
    {&kAllRestrictedAppsSid, kAccessReadExecute, {10, 0, 14393}},
};
static_assert(sizeof kProgramAccessRows / sizeof kProgramAccessRows[0] == kProgramAccessEntriesMax,
              "one entry at most per row");

int AtLeast(const SystemVersion &version, const SystemVersion &since) {
    if (version.major != since.major)
        return version.major > since.major;
    if (version.minor != since.minor)
        return version.minor > since.minor;
    return version.build >= since.build;
}

}  // namespace

int ProgramAccessEntries(const SystemVersion &version, AccessEntry *entries) {
    int count = 0;
    for (const ProgramAccessRow &row : kProgramAccessRows)
        if (AtLeast(version, row.since))
            entries[count++] = AccessEntry{row.sid, row.mask};
    return count;
}

// On NT 4.0 to XP what an administrator makes belongs to that administrator's own account, so the
// folder of an earlier install is the user's, and it is the same identity that runs the setup now.
// From Vista on, what an elevated administrator makes belongs to Administrators; the user's own SID
// is also the identity of their unelevated token, under which every program they start runs, and
// any of those could rewrite the folder's list and replace the programs in it.
int RunningUserOwnerTrusted(const SystemVersion &version) { return version.major < 6; }
