// Where the POSIX build finds the packed payload streams: one file "<id>.z" per payload.
#pragma once

void SetPayloadDirectory(const char *directory);
