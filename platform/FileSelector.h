// The file dialog: runs zenity or kdialog (whichever is installed, zenity
// first) as a child process so that the host's window never freezes, and is
// polled from the editor's idle until it answers. The dialog runs without
// the host's LD_LIBRARY_PATH, which would otherwise make it load the host's
// private copies of the desktop libraries, and without any of the host's
// open files, sockets and devices: it holds only its answer pipe and
// /dev/null, so a device the host releases is free while a dialog is open.
#pragma once

#include <sys/types.h>

#include <string>

namespace platform {

struct FileRequest {
  enum class Mode { Open, Save };
  Mode mode = Mode::Open;
  std::string title;
  std::string initialFolder;     // where the dialog starts
  std::string filterLabel;       // e.g. "Bank files"
  std::string filterExtension;   // e.g. "fxb", without the dot; empty: all files
  std::string defaultName;       // saving: the name proposed
  std::string defaultExtension;  // saving: added to a chosen name that has none
  // The native id of the window the dialog belongs to (it stays above it
  // and opens over it), 0 for none.
  unsigned long ownerWindow = 0;
};

class FileSelector {
 public:
  enum class State {
    Idle,         // nothing started
    Running,      // the dialog is open
    Chosen,       // path() is the file chosen
    Cancelled,    // the user closed the dialog without choosing
    Failed,       // the dialog could not run or ended abnormally
    Unavailable,  // neither zenity nor kdialog is installed
  };

  FileSelector();
  ~FileSelector();  // ends a dialog still open
  FileSelector(const FileSelector&) = delete;
  FileSelector& operator=(const FileSelector&) = delete;

  // Opens the dialog. False when it could not be started (state() tells
  // Unavailable from Failed); a dialog already running is ended first.
  bool start(const FileRequest& request);
  // Never blocks: takes what the dialog wrote and, once it has ended, its
  // answer.
  State poll();
  State state() const { return state_; }
  const std::string& path() const { return path_; }
  // Ends a running dialog; the state becomes Cancelled.
  void cancel();

  // The folders searched for the dialog programs (PATH unless set).
  void setSearchPath(const std::string& folders) {
    searchPath_ = folders;
    searchPathSet_ = true;
  }
  // The program used by the last start ("zenity", "kdialog" or empty).
  const std::string& toolName() const { return tool_; }

 private:
  void finish(int status, bool statusKnown);
  void reap(bool wait);

  State state_ = State::Idle;
  std::string path_;
  std::string output_;
  std::string tool_;
  std::string searchPath_;
  bool searchPathSet_ = false;
  FileRequest request_;
  pid_t pid_ = -1;
  int pipe_ = -1;
};

}  // namespace platform
