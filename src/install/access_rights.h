// Access rights and owners of files and folders, where the system keeps them: the NT family, on a
// volume with persistent access lists (NTFS). The 95 family, and FAT volumes everywhere, have
// neither; there every operation here succeeds without doing anything.
#pragma once

// Gives the file at path the access list of an installed program: Administrators and SYSTEM full
// control, everyone else read and execute, inherited from nothing. 1 = done, or nothing to do on
// this system or volume; 0 = the system keeps access rights and they could not be set.
int ProtectProgramFile(const char *path);

// Whether the existing folder is owned by Administrators, SYSTEM, TrustedInstaller or the user the
// setup runs as; also 1 where there are no owners. 0 = someone else, or an owner that cannot be
// read (a folder that shuts out the administrators themselves).
int FolderOwnerTrusted(const char *folder);

// The names in a folder, one at a time, "." and ".." left out. Open gives null when the folder
// cannot be listed; Next gives null at the end (its name stays valid until the next call).
struct FolderListing;
FolderListing *OpenFolderListing(const char *folder);
const char *NextListedName(FolderListing *listing);
void CloseFolderListing(FolderListing *listing);
