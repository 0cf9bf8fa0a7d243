// A private X server for the window tests: Xvfb on a display number it picks
// itself (-displayfd), so tests running side by side never collide. DISPLAY
// points at it while it runs, for the plug-in's own connections.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

extern char** environ;

namespace toolkit_rig {

class Xvfb {
 public:
  Xvfb() {
    int fds[2];
    if (pipe(fds) != 0) return;
    const std::string fd = std::to_string(fds[1]);
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x400x24", "-nolisten", "tcp", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int rc = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
      pid_ = 0;
      close(fds[0]);
      error_ = "Xvfb is not installed";
      return;
    }
    // The server writes its display number once it accepts connections.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 10000) > 0) {
      char c;
      if (read(fds[0], &c, 1) != 1 || c == '\n') break;
      number += c;
    }
    close(fds[0]);
    if (number.empty()) {
      error_ = "Xvfb did not start";
      return;
    }
    name_ = ":" + number;
    const char* old = std::getenv("DISPLAY");
    if (old) oldDisplay_ = old;
    hadDisplay_ = old != nullptr;
    setenv("DISPLAY", name_.c_str(), 1);
  }
  ~Xvfb() {
    if (hadDisplay_)
      setenv("DISPLAY", oldDisplay_.c_str(), 1);
    else
      unsetenv("DISPLAY");
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  Xvfb(const Xvfb&) = delete;
  Xvfb& operator=(const Xvfb&) = delete;

  bool running() const { return !name_.empty(); }
  const std::string& error() const { return error_; }
  const std::string& name() const { return name_; }

 private:
  pid_t pid_ = 0;
  std::string name_;
  std::string error_;
  std::string oldDisplay_;
  bool hadDisplay_ = false;
};

}  // namespace toolkit_rig
