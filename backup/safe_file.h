#pragma once

#include <string>
#include <string_view>

namespace korvel::backup {

// Replaces the file at `path` with `content` so that it is either the whole new
// content or untouched: written to a temporary file in the same folder,
// flushed, synced and renamed over it. A symbolic link stays and the file it
// points to is replaced. A path that is no regular file (a
// terminal, a pipe, a device) is written directly, every write checked.
// Returns an empty string on success, else what failed in words.
std::string replaceFile(const std::string& path, std::string_view content);

// Why no file can be written beside `path` (its folder is missing or not
// writable), checked before a long run; empty when it can.
std::string unwritableFolder(const std::string& path);

}  // namespace korvel::backup
