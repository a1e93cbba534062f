// src/landing/: how a file lands safely in the install folder, whatever the install puts there. Below
// src/install/ (what the install does), above payload/ and base/; it includes nothing from install/.
//
//   file_system.h           the few file-system calls the setup makes, and what counts as a link
//   file_system_win32.cpp   them on Win32: kinds of path, links (reparse points, Wine's Unix links),
//                           hard-link counts, renames, locks, free space
//   file_placement.cpp      the file service: every file written new under a name nothing holds,
//                           the protection lifted and put back, renames and deletes retried while
//                           another program holds a file
//   access_rights*.cpp      what the setup trusts: owners and access lists of programs, of the work
//                           folder and of the install folder (NT family)
//   program_files.cpp       which installed files are programs, and their listed protection
//   install_names.cpp       the names the install may touch: the catalogue's and the purged ones
//   work_folder.cpp         "~tsowork", the setup's own folder for staged and moved-aside files, its
//                           lock and its small files
//   journal.cpp             what the commit touches, written before the first rename, and when it
//                           is trusted
//   commit.cpp              the commit, its undo, its record, and the recovery of an interrupted one
//   responsive.h            what this room needs from the wizard: that it keeps answering
#pragma once
