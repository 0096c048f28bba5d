// Saving a file so that no one ever sees it torn, it is never written through a link and a crash
// loses nothing: the new bytes go to a file of their own beside it, which no one else can have
// opened, reach the disk, and then take the old file's place in one step.
#pragma once

#include <cstddef>
#include <cstdio>
#include <span>
#include <string>

// Replaces the contents of `path` with `bytes`: writes them to a new file beside it, created
// exclusively and never through a link ("<path>.tmp.<process>.<n>"), pushes it to the disk, gives
// it the permissions of the file it replaces, renames it over `path` and makes the rename
// durable. Returns an empty string, or why not, naming the file that failed; on failure `path` is
// untouched and the new file is gone.
std::string replaceFileContents(const std::string& path, std::span<const std::byte> bytes);

// Whether `path` names a file this process must not change: one without any write permission,
// one it may not write, or one on a read-only disk. False when there is no such file.
bool isReadOnlyFile(const std::string& path);

// Opens `path` for writing from its start, creating it when missing, for a file the game writes
// as it goes (a recording). Only a regular file is opened: a named pipe without a reader, a device
// or a folder is refused at once, never waited on. Returns nullptr with the reason in `reason`.
std::FILE* openOutputFile(const std::string& path, std::string& reason);
