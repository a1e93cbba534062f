// src/install/: what the install does, over src/landing/ (how each file lands safely).
//
//   install_entry_win32.cpp     the entry the wizard's final Next calls: the install's sequence
//   install_messages_win32.cpp  every refusal, question and result it shows
//   install_checks.cpp          the folder's name and place, the names it writes, the space needed
//   folder_trust.cpp            who owns an existing folder, and what code is in it
//   install_tables.cpp          the install's steps, in order, and the shortcuts
//   install_sequence.cpp        staging every file, planning and running the commit
//   config_file.cpp             the answers written into chipadui.ini
//   shortcuts*.cpp              the Start-menu, desktop and start-up shortcuts
//   wizard_window.h             what the install needs from the wizard's window
#pragma once
