// Access rights and owners of files and folders, where the system keeps them: the NT family, on a
// volume with persistent access lists (NTFS). The 95 family, and FAT volumes everywhere, have
// neither; there every operation here succeeds without doing anything.
#pragma once

// Gives the file at path the access list of an installed program: Administrators and SYSTEM full
// control, everyone else read and execute, inherited from nothing. 1 = done, or nothing to do on
// this system or volume; 0 = the system keeps access rights and they could not be set.
int ProtectProgramFile(const char *path);

// The setup's work folder: made with rights of its own that inherit nothing (Administrators and
// SYSTEM full control, and the files made in it the same; owner Administrators), so that nobody
// else can put or change anything in it. 1 = made; 0 = it could not be (something is at path).
int MakePrivateFolder(const char *path);
// Whether the existing folder at path has exactly the owner and rights MakePrivateFolder gives
// (also 1 where the system or volume keeps no rights: there nobody's files are kept apart).
int PrivateFolderTrusted(const char *path);
// A data file renamed out of the work folder keeps the rights it was made with there; this gives
// it those it would have had if it had been made where it is now, inherited from its folder, so
// that the users the folder lets write their dictionaries and configuration still can. 1 = done,
// or nothing to do on this system or volume.
int TakeFolderRights(const char *path);

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
