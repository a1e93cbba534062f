// Which program holds a file of the install, for the question asked when a file could not be put
// back after the retries (file_placement.h).
#pragma once

// Where the system can tell (the Restart Manager, Windows Vista and later): the name of a program
// that has the installed name's file open, asked of both its place in the folder and its moved-aside
// copy in the work folder. 1 = named in program (size bytes, in the system's code page, cut to fit);
// 0 = the system cannot tell (95 to XP, no such program, or the query failed).
int NameProgramHolding(const char *name, char *program, unsigned long size);
