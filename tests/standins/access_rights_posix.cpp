// POSIX stand-in of folder owners and listings: a folder is the administrators' when root or the
// user running the program owns it, as on Windows one made by the administrators or by the setup's
// own user is. Programs' access lists are recorded by the host tests' doubles instead.
#include "landing/access_rights.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

int FolderOwnerTrusted(const char *folder) {
    struct stat info;
    if (stat(folder, &info) != 0)
        return kOwnerOther;
    return info.st_uid == 0 || info.st_uid == geteuid() ? kOwnerTrusted : kOwnerOther;
}

// The work folder: only its owner may write it, as only the administrators may on Windows.
int MakePrivateFolder(const char *path) { return mkdir(path, 0700) == 0; }

// Only its owner: no group or other bits (a group a setgid folder passed on has none), and no
// POSIX access list, whose named entries and whose default for new files let others in.
int PrivateFolderTrusted(const char *path) {
    struct stat info;
    char list[8];
    return lstat(path, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
           !(info.st_mode & 077) && getxattr(path, "system.posix_acl_access", list, sizeof list) < 0 &&
           getxattr(path, "system.posix_acl_default", list, sizeof list) < 0;
}

// A file renamed here keeps its mode, which a Unix folder does not pass on.
int TakeFolderRights(const char *) { return 1; }

struct FolderListing {
    DIR *folder;
};

FolderListing *OpenFolderListing(const char *folder) {
    DIR *opened = opendir(folder);
    if (!opened)
        return nullptr;
    FolderListing *listing = static_cast<FolderListing *>(std::malloc(sizeof(FolderListing)));
    if (!listing) {
        closedir(opened);
        return nullptr;
    }
    listing->folder = opened;
    return listing;
}

const char *NextListedName(FolderListing *listing) {
    while (dirent *entry = readdir(listing->folder))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            return entry->d_name;
    return nullptr;
}

void CloseFolderListing(FolderListing *listing) {
    closedir(listing->folder);
    std::free(listing);
}
