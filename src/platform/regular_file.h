// Opening a file to write that must be a plain file: a named pipe, a device
// or a directory at the path is refused, and the open never waits (a pipe
// without a reader would hold it for good).
#pragma once

#include <cstdio>
#include <string>

enum class WriteMode { Append, Truncate };

// Opens (creating it when missing) the regular file at path for writing.
// Returns null, with errno set, when the path is something else or cannot be opened.
std::FILE* OpenRegularFileForWriting(const std::string& path, WriteMode mode);
