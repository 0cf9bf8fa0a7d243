// Whole-file reads and writes for files other programs (and other instances
// of the plug-in) may read at any moment: a write goes to a temporary file in
// the same folder and is renamed into place once complete, so a reader sees
// the old content or the new, never a torn mix.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// Reads at most `size` bytes of a regular file into `buffer` (the rest is
// left as it was) and returns how many it read. Nothing when the file cannot
// be opened or read, or is no regular file: a FIFO, a device, a folder or a
// link loop is refused at once, without waiting for a writer and without
// reading more than `size` bytes of an endless source.
std::optional<std::size_t> readFileInto(const std::string& path, uint8_t* buffer, std::size_t size);

// Writes `data` as the whole new content of `target`. Saving over a link
// replaces the file it points to; a folder, device or file the user may not
// write is never replaced. False when nothing was replaced.
bool replaceFile(const std::string& target, const uint8_t* data, std::size_t size);

}  // namespace platform
