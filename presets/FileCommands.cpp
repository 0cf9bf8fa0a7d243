// The editor's file commands: preset, bank and MIDI-settings files by path.
//
// The plug-in runs inside someone else's process, so it never changes the
// working directory: files are opened by their full path. Files are opened
// read-only for loading (shared preset folders and read-only media load
// too), and a save writes a temporary file beside the target and renames it
// into place, so a failed or interrupted save leaves the old file whole.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"

namespace presets {

namespace {

// Reads at most `size` bytes into the zeroed `image`: a short file leaves
// the rest zero, a long one is read only as far as the image goes.
bool readImage(const std::string& path, uint8_t* image, size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "rbe");
  if (!file) return false;
  std::fread(image, 1, size, file);
  const bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

bool writeAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

std::string folderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Writes `data` as the whole new content of `target`, replacing it only
// once the new content is safely on disk.
bool replaceFile(const std::string& target, const uint8_t* data, size_t size) {
  std::string destination = target;
  // Saving over a link replaces the file it points to and keeps the link.
  struct stat info {};
  if (::lstat(target.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    if (char* real = ::realpath(target.c_str(), nullptr)) {
      destination = real;
      std::free(real);
    }
  }
  const bool exists = ::stat(destination.c_str(), &info) == 0;
  if (exists) {
    // Never put a file in place of a folder or device, nor over a file the
    // user may not write.
    if (!S_ISREG(info.st_mode) || ::access(destination.c_str(), W_OK) != 0) return false;
  }

  static std::atomic<unsigned> counter{0};
  const std::string folder = folderOf(destination);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temp = folder + ".tavrel-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
    // A new file gets the permissions any new file of the user gets.
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  bool ok = writeAll(fd, data, size);
  if (ok && exists) ok = ::fchmod(fd, info.st_mode & 07777) == 0;
  if (ok) ok = ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok) ok = std::rename(temp.c_str(), destination.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace

// The folder of a chosen path becomes the current folder and its file name
// the kind's last name; a bare file name lies in the current folder and
// changes neither. Returns the path to open.
std::string CPresetSystemEditor::rememberPath(const std::string& path, std::string& lastName) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    if (currentFolder_.empty() || currentFolder_.back() == '/') return currentFolder_ + path;
    return currentFolder_ + '/' + path;
  }
  currentFolder_ = path.substr(0, slash + 1);
  lastName = path.substr(slash + 1);
  return path;
}

bool CPresetSystemEditor::loadFile(const std::string& path, std::string& lastName, int size, Loader load,
                                   bool reversed) {
  if (path.empty()) return false;
  const std::string file = rememberPath(path, lastName);
  std::vector<uint8_t> image(static_cast<size_t>(size), 0);
  if (!readImage(file, image.data(), image.size())) return false;
  (this->*load)(image.data(), reversed);
  return true;
}

bool CPresetSystemEditor::saveFile(const std::string& path, std::string& lastName, int size, Storer store) {
  if (path.empty() || !presetEffect() || !presetEffect()->programs()) return false;
  const std::string file = rememberPath(path, lastName);
  std::vector<uint8_t> image(static_cast<size_t>(size), 0);
  (this->*store)(image.data());
  return replaceFile(file, image.data(), image.size());
}

bool CPresetSystemEditor::loadPresetFile(const std::string& path, bool reversed) {
  return loadFile(path, lastPresetName_, kPresetImageSize, &CPresetSystemEditor::loadPresetData, reversed);
}

bool CPresetSystemEditor::savePresetFile(const std::string& path) {
  return saveFile(path, lastPresetName_, kPresetImageSize, &CPresetSystemEditor::storePresetData);
}

bool CPresetSystemEditor::loadBankFile(const std::string& path, bool reversed) {
  return loadFile(path, lastBankName_, kBankImageSize, &CPresetSystemEditor::loadBankData, reversed);
}

bool CPresetSystemEditor::saveBankFile(const std::string& path) {
  return saveFile(path, lastBankName_, kBankImageSize, &CPresetSystemEditor::storeBankData);
}

bool CPresetSystemEditor::loadMidiFile(const std::string& path, bool reversed) {
  return loadFile(path, lastMidiName_, kMidiImageSize, &CPresetSystemEditor::loadMidiData, reversed);
}

bool CPresetSystemEditor::saveMidiFile(const std::string& path) {
  return saveFile(path, lastMidiName_, kMidiImageSize, &CPresetSystemEditor::storeMidiData);
}

}  // namespace presets
