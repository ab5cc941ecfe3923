#pragma once
// Opening files that other programs may have put in the game's place: a named pipe or a
// device where a picture, a sound or the score file should be would otherwise block the
// open or the first read forever.

// Opens path read-only without waiting for a writer. Returns the descriptor, which the
// caller closes, or -1 with errno set: ENOENT for a missing file, EINVAL for anything
// that is there but not a regular file (its descriptor is closed again at once).
int OpenRegularFile(const char* path);
