#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

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

}  // namespace

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

bool readFileInto(const std::string& path, uint8_t* buffer, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "rbe");
  if (!file) return false;
  std::fread(buffer, 1, size, file);
  const bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

}  // namespace platform
