#pragma once
// The score file on disk: reading its start, and replacing its contents so that a crash
// or power cut at any moment leaves the old contents or the new ones, whole, wherever the
// folder lets a temporary be made beside the file.
//
// A replacement goes to "<name>.<pid>.tmp" beside the file, is flushed to the disk,
// renamed over the file, and the folder is flushed too. A process killed mid-save leaves
// its temporary behind; the next read or replacement in that folder removes it once that
// process is gone, so a folder holds at most one per writer that died since.
// Not thread-safe: one thread of a process uses a given file at a time.
#include <cstddef>

enum class ScoreFileRead {
    kRead,        // *count bytes were read
    kMissing,     // no such file, whether or not its folder exists
    kUnreadable,  // something is there, but not a regular file this process can read
};

// Reads at most capacity bytes from the start of path into buffer, leaving the rest of
// buffer as it was; *count receives how many bytes came (0..capacity).
ScoreFileRead ReadScoreFile(const char* path, unsigned char* buffer, size_t capacity, size_t* count);

// mustExist: replace only an existing regular file that this process may open for
// reading and writing, keeping its mode, its group where this process may give it, and
// its owner where allowed (root); when no temporary beside it can be made, written,
// flushed or renamed over it (a folder the player cannot write, a full disk), the bytes
// are written over the file's start in place and flushed instead. Otherwise the file is
// created or replaced.
// Either way a symbolic link is followed, dangling or not, and the file it names is
// written, so the link stays. Returns whether the new contents are in place; on failure
// the old file is untouched.
bool ReplaceScoreFile(const char* path, const unsigned char* bytes, size_t size, bool mustExist);
