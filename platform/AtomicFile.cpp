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

std::optional<size_t> readFileInto(const std::string& path, uint8_t* buffer, size_t size) {
  // Opening a FIFO for reading would wait for a writer: open without waiting,
  // then take only a regular file.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  std::optional<size_t> length;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    length = 0;
    while (*length < size) {
      const ssize_t got = ::read(fd, buffer + *length, size - *length);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) length.reset();
      if (got <= 0) break;
      *length += static_cast<size_t>(got);
    }
  }
  ::close(fd);
  return length;
}

}  // namespace platform
