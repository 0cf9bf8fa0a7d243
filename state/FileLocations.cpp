#include "state/FileLocations.h"

#include <unistd.h>

#include <climits>

#include "platform/SettingsStore.h"

namespace state {

namespace {

// In the order of texts_.
constexpr const char* kLocationValues[] = {"CurrDir", "CurrBank", "CurrPreset", "CurrMidi"};

}  // namespace

FileLocations::FileLocations() {
  char cwd[PATH_MAX];
  if (getcwd(cwd, sizeof cwd)) {
    texts_[0] = cwd;
    if (texts_[0].empty() || texts_[0].back() != '/') texts_[0] += '/';
  }
  found_[0] = texts_[0];
}

bool FileLocations::fits(const std::string& path) const {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return path.size() <= kMaxFileName;
  return slash + 1 <= kMaxFolder && path.size() - slash - 1 <= kMaxFileName;
}

std::string FileLocations::remember(const std::string& path, Kind kind) {
  std::string& folder = texts_[0];
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    if (folder.empty() || folder.back() == '/') return folder + path;
    return folder + '/' + path;
  }
  folder = path.substr(0, slash + 1);
  texts_[kind] = path.substr(slash + 1);
  return path;
}

// Every instance closes at the end of a session: one that wrote back what it
// merely found would undo a newer folder another instance chose.
void FileLocations::save() {
  const platform::SettingsStore store = platform::SettingsStore::forUser();
  for (size_t i = 0; i < texts_.size(); ++i) {
    const std::string& text = texts_[i];
    if (text.empty() || text == found_[i]) continue;
    if (store.writeText(kLocationValues[i], text)) found_[i] = text;
  }
}

// A missing value replaces the working folder the instance started with.
void FileLocations::load() {
  const platform::SettingsStore store = platform::SettingsStore::forUser();
  for (size_t i = 0; i < texts_.size(); ++i) {
    if (!store.readText(kLocationValues[i], texts_[i], i == 0 ? kMaxFolder : kMaxFileName)) texts_[i].clear();
    found_[i] = texts_[i];
  }
}

}  // namespace state
