#include "platform/SettingsStore.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/AtomicFile.h"

namespace platform {

namespace {

std::string homeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  // Some hosts are started without a HOME (from a service or a launcher).
  if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) return user->pw_dir;
  return {};
}

}  // namespace

SettingsStore SettingsStore::forUser() {
  // A relative XDG_CONFIG_HOME is invalid and ignored, as the base-directory
  // convention says.
  std::string base;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') {
    base = config;
  } else {
    const std::string home = homeFolder();
    if (home.empty()) return SettingsStore({});
    base = home + "/.config";
  }
  if (base.back() != '/') base += '/';
  return SettingsStore(base + "Korvane/Tavrel/");
}

SettingsStore::SettingsStore(std::string folder) : folder_(std::move(folder)) {}

std::optional<std::size_t> SettingsStore::read(const char* name, uint8_t* buffer, std::size_t capacity) const {
  if (folder_.empty()) return std::nullopt;
  return readFileInto(pathOf(name), buffer, capacity);
}

bool SettingsStore::write(const char* name, const uint8_t* data, std::size_t size) const {
  return makeFolder() && replaceFile(pathOf(name), data, size);
}

bool SettingsStore::readText(const char* name, std::string& text, std::size_t limit) const {
  // One byte more than the limit tells a text that fits from one that does not.
  std::vector<uint8_t> buffer(limit + 1, 0);
  const std::optional<std::size_t> length = read(name, buffer.data(), buffer.size());
  if (!length || *length > limit) return false;
  const auto* chars = reinterpret_cast<const char*>(buffer.data());
  text.assign(chars, ::strnlen(chars, *length));
  return true;
}

bool SettingsStore::writeText(const char* name, const std::string& text) const {
  return write(name, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

bool SettingsStore::remove(const char* name) const {
  return !folder_.empty() && ::unlink(pathOf(name).c_str()) == 0;
}

// Creates the folder and the missing ones above it.
bool SettingsStore::makeFolder() const {
  if (folder_.empty()) return false;
  for (std::size_t slash = folder_.find('/', 1); slash != std::string::npos; slash = folder_.find('/', slash + 1)) {
    const std::string part = folder_.substr(0, slash);
    if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  struct stat info {};
  return ::stat(folder_.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace platform
