// The platform's two steps that make a saved file survive a crash or a power cut: the written
// bytes reach the disk, then the finished file takes the old one's place in one step.
#pragma once

#include <cstdio>

// Pushes what was written to `file` (already flushed from the C library's buffer) to the disk.
// Returns 0, or an errno value saying why not.
int syncToDisk(std::FILE* file);

// Puts the file `temporary` in place of `path`, replacing an existing file, and makes the change
// itself durable. Returns 0, or an errno value saying why not; on failure `path` is untouched.
int replaceFile(const char* temporary, const char* path);
