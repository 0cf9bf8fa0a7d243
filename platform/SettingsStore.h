// The user's own settings, kept between sessions and shared by every
// instance of the plug-in the user runs: one file per named value in the
// per-user folder $XDG_CONFIG_HOME/Korvane/Tavrel/ (~/.config/Korvane/Tavrel/
// when the variable is unset). A missing folder or file reads as a missing
// value. Every write replaces the file whole, so two instances writing at
// once leave one of the two values, never a torn mix; the last writer wins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

class SettingsStore {
 public:
  // The store of the user running this process.
  static SettingsStore forUser();
  explicit SettingsStore(std::string folder);  // folder ending in '/'

  const std::string& folder() const { return folder_; }

  // Binary values: reads at most `capacity` bytes into `buffer` (the rest is
  // left as it was) and returns how many; nothing when the value is missing
  // or is no regular file (a FIFO, device or folder under the value's name
  // is never waited on nor read).
  std::optional<std::size_t> read(const char* name, uint8_t* buffer, std::size_t capacity) const;
  bool write(const char* name, const uint8_t* data, std::size_t size) const;

  // Text values, stored as they are (UTF-8 on a UTF-8 system). A text longer
  // than `limit` bytes counts as missing: no caller's buffer is cut short.
  bool readText(const char* name, std::string& text, std::size_t limit) const;
  bool writeText(const char* name, const std::string& text) const;

  bool remove(const char* name) const;

 private:
  std::string pathOf(const char* name) const { return folder_ + name; }
  bool makeFolder() const;

  std::string folder_;
};

}  // namespace platform
