// The data log files: text, one record per line, CR LF line ends. A file is
// open only while one record is appended, so every record is on disk at once.
#pragma once

#include <string>

// Appends the line and CR LF. False when the file cannot be opened or the
// whole line could not be written.
bool AppendLogLine(const std::string& path, const std::string& line);
// Creates the file empty, replacing its contents. False when that fails.
bool CreateEmptyLogFile(const std::string& path);
