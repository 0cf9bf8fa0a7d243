#include "platform/FileSelector.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

extern char** environ;

namespace platform {

namespace {

std::string findProgram(const std::string& folders, const char* name) {
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    // An empty entry of the search path is the working folder.
    const std::string folder = end > start ? folders.substr(start, end - start) : std::string(".");
    const std::string candidate = folder + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

std::string withSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

std::vector<std::string> zenityArguments(const FileRequest& r) {
  std::vector<std::string> a{"zenity", "--file-selection"};
  if (!r.title.empty()) a.push_back("--title=" + r.title);
  if (r.ownerWindow != 0) a.push_back("--attach=" + std::to_string(r.ownerWindow));
  if (r.mode == FileRequest::Mode::Save) {
    a.push_back("--save");
    a.push_back("--confirm-overwrite");
  }
  const std::string start = withSlash(r.initialFolder) + (r.mode == FileRequest::Mode::Save ? r.defaultName : "");
  if (!start.empty()) a.push_back("--filename=" + start);
  if (!r.filterExtension.empty()) {
    const std::string label = r.filterLabel.empty() ? r.filterExtension : r.filterLabel;
    a.push_back("--file-filter=" + label + " (*." + r.filterExtension + ") | *." + r.filterExtension);
    a.push_back("--file-filter=All files | *");
  }
  return a;
}

std::vector<std::string> kdialogArguments(const FileRequest& r) {
  std::vector<std::string> a{"kdialog"};
  if (!r.title.empty()) {
    a.push_back("--title");
    a.push_back(r.title);
  }
  if (r.ownerWindow != 0) {
    a.push_back("--attach");
    a.push_back(std::to_string(r.ownerWindow));
  }
  const bool save = r.mode == FileRequest::Mode::Save;
  a.push_back(save ? "--getsavefilename" : "--getopenfilename");
  std::string start = r.initialFolder.empty() ? std::string(".") : r.initialFolder;
  if (save && !r.defaultName.empty()) start = withSlash(start) + r.defaultName;
  a.push_back(start);
  if (!r.filterExtension.empty()) {
    const std::string label = r.filterLabel.empty() ? r.filterExtension : r.filterLabel;
    a.push_back("*." + r.filterExtension + "|" + label + "\n*|All files");
  }
  return a;
}

}  // namespace

FileSelector::FileSelector() = default;

FileSelector::~FileSelector() { cancel(); }

bool FileSelector::start(const FileRequest& request) {
  cancel();
  request_ = request;
  path_.clear();
  output_.clear();
  tool_.clear();
  const char* envPath = std::getenv("PATH");
  const std::string folders = searchPathSet_ ? searchPath_ : (envPath ? envPath : "/usr/bin:/bin");
  std::string program = findProgram(folders, "zenity");
  std::vector<std::string> args;
  if (!program.empty()) {
    tool_ = "zenity";
    args = zenityArguments(request);
  } else if (!(program = findProgram(folders, "kdialog")).empty()) {
    tool_ = "kdialog";
    args = kdialogArguments(request);
  } else {
    state_ = State::Unavailable;
    return false;
  }

  // The host's environment, less its library path.
  std::vector<std::string> env;
  for (char** e = environ; e && *e; ++e)
    if (std::strncmp(*e, "LD_LIBRARY_PATH=", 16) != 0) env.emplace_back(*e);
  std::vector<char*> argv, envp;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    state_ = State::Failed;
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  // Everything else the host has open goes, also what it opened without
  // close-on-exec (audio devices, sockets, files of other plug-ins).
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  // A host that blocks signals must not pass that on to the dialog.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigaddset(&defaults, SIGTERM);
  sigaddset(&defaults, SIGINT);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  if (rc != 0) {
    ::close(fds[0]);
    state_ = State::Failed;
    return false;
  }
  ::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK);
  pid_ = pid;
  pipe_ = fds[0];
  state_ = State::Running;
  return true;
}

FileSelector::State FileSelector::poll() {
  if (state_ != State::Running) return state_;
  bool ended = false;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(pipe_, buffer, sizeof buffer);
    if (n > 0) {
      if (output_.size() < 65536) output_.append(buffer, static_cast<std::size_t>(n));
      continue;
    }
    if (n == 0) ended = true;  // the dialog closed its output
    else if (errno == EINTR) continue;
    break;
  }
  int status = 0;
  const pid_t r = ::waitpid(pid_, &status, WNOHANG);
  if (r == pid_) {
    pid_ = -1;
    finish(status, true);
  } else if (r < 0 && errno == ECHILD && ended) {
    // A host that ignores SIGCHLD has its children reaped for it: judge by
    // what the dialog wrote.
    pid_ = -1;
    finish(0, false);
  }
  return state_;
}

void FileSelector::finish(int status, bool statusKnown) {
  // The rest of the output, now that the writer is gone.
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(pipe_, buffer, sizeof buffer)) > 0)
    if (output_.size() < 65536) output_.append(buffer, static_cast<std::size_t>(n));
  ::close(pipe_);
  pipe_ = -1;

  // zenity 3.90 to 3.99 know no --attach: they refuse the whole command
  // line at once with status 255. Asked again without it, once.
  if (statusKnown && WIFEXITED(status) && WEXITSTATUS(status) == 255 && tool_ == "zenity" &&
      request_.ownerWindow != 0) {
    FileRequest unattached = request_;
    unattached.ownerWindow = 0;
    state_ = State::Idle;
    start(unattached);
    return;
  }

  std::string line = output_.substr(0, output_.find('\n'));
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  if (statusKnown && WIFSIGNALED(status)) {
    state_ = State::Failed;
  } else if (statusKnown && WEXITSTATUS(status) == 1) {
    state_ = State::Cancelled;
  } else if (statusKnown && WEXITSTATUS(status) != 0) {
    state_ = State::Failed;
  } else if (line.empty()) {
    state_ = State::Cancelled;
  } else {
    path_ = line;
    if (request_.mode == FileRequest::Mode::Save && !request_.defaultExtension.empty()) {
      const std::size_t slash = path_.rfind('/');
      const std::string name = slash == std::string::npos ? path_ : path_.substr(slash + 1);
      if (name.find('.') == std::string::npos) path_ += "." + request_.defaultExtension;
    }
    state_ = State::Chosen;
  }
}

void FileSelector::reap(bool wait) {
  if (pid_ <= 0) return;
  int status = 0;
  if (::waitpid(pid_, &status, wait ? 0 : WNOHANG) != 0) pid_ = -1;
}

void FileSelector::cancel() {
  if (state_ != State::Running) return;
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    // A dialog that ignores the request is killed after a moment.
    for (int i = 0; i < 40 && pid_ > 0; ++i) {
      reap(false);
      if (pid_ > 0) ::usleep(5000);
    }
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      reap(true);
    }
  }
  if (pipe_ >= 0) ::close(pipe_);
  pipe_ = -1;
  pid_ = -1;
  state_ = State::Cancelled;
}

}  // namespace platform
