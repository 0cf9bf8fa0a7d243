// The platform layer of the toolkit: the millisecond tick count and the
// file dialog run as a child process, with stand-in dialog programs that
// answer as zenity and kdialog do.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/FileSelector.h"
#include "platform/TickCount.h"

namespace {

namespace fs = std::filesystem;
using State = platform::FileSelector::State;

struct FakeTools {
  fs::path dir;
  FakeTools() {
    dir = fs::temp_directory_path() / ("tavrel-dialogs-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  ~FakeTools() { fs::remove_all(dir); }
  // A stand-in that records its arguments and environment, then runs `body`.
  void install(const char* name, const std::string& body) {
    const fs::path p = dir / name;
    std::ofstream(p) << "#!/bin/sh\n"
                     << "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << (dir / "args").string() << "'\n"
                     << "echo \"${LD_LIBRARY_PATH-unset}\" > '" << (dir / "libpath").string() << "'\n"
                     << body << "\n";
    ::chmod(p.c_str(), 0755);
  }
  std::string read(const char* file) const {
    std::ifstream in(dir / file);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

State runToEnd(platform::FileSelector& selector) {
  for (int i = 0; i < 500 && selector.poll() == State::Running; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return selector.state();
}

platform::FileRequest saveBank() {
  platform::FileRequest r;
  r.mode = platform::FileRequest::Mode::Save;
  r.title = "Save bank";
  r.initialFolder = "/home/user/presets";
  r.filterLabel = "Bank files";
  r.filterExtension = "fxb";
  r.defaultName = "Tavrel.fxb";
  r.defaultExtension = "fxb";
  return r;
}

// How each way a dialog can end is answered.
TEST(ToolkitFileSelector, AnswersChosenCancelledFailedAndUnavailable) {
  const struct {
    const char* tool;
    const char* body;
    platform::FileRequest::Mode mode;
    State expected;
    const char* path;
  } cases[] = {
      {"zenity", "echo /tmp/a/bank.fxb", platform::FileRequest::Mode::Open, State::Chosen, "/tmp/a/bank.fxb"},
      {"zenity", "echo '/tmp/a b/my bank'", platform::FileRequest::Mode::Save, State::Chosen, "/tmp/a b/my bank.fxb"},
      {"zenity", "echo /tmp/a/v1.2/bank.old", platform::FileRequest::Mode::Save, State::Chosen, "/tmp/a/v1.2/bank.old"},
      {"zenity", "exit 1", platform::FileRequest::Mode::Open, State::Cancelled, ""},
      {"zenity", "exit 0", platform::FileRequest::Mode::Open, State::Cancelled, ""},
      {"zenity", "echo /tmp/x; exit 5", platform::FileRequest::Mode::Open, State::Failed, ""},
      {"zenity", "kill -9 $$", platform::FileRequest::Mode::Open, State::Failed, ""},
      // A zenity that knows no --attach refuses it and is asked again without.
      {"zenity", "case \"$*\" in *--attach=*) exit 255;; esac; echo /tmp/b.fxb", platform::FileRequest::Mode::Open,
       State::Chosen, "/tmp/b.fxb"},
      {"zenity", "exit 255", platform::FileRequest::Mode::Open, State::Failed, ""},
      {"kdialog", "echo /tmp/k.fxp", platform::FileRequest::Mode::Open, State::Chosen, "/tmp/k.fxp"},
      {"kdialog", "exit 1", platform::FileRequest::Mode::Open, State::Cancelled, ""},
      {nullptr, "", platform::FileRequest::Mode::Open, State::Unavailable, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.tool ? c.tool : "none") + ": " + c.body);
    FakeTools tools;
    if (c.tool) tools.install(c.tool, c.body);
    platform::FileSelector selector;
    selector.setSearchPath(tools.dir.string());
    platform::FileRequest request = saveBank();
    request.mode = c.mode;
    request.ownerWindow = 0x2a00007;
    EXPECT_EQ(selector.start(request), c.expected != State::Unavailable);
    EXPECT_EQ(runToEnd(selector), c.expected);
    EXPECT_EQ(selector.path(), c.path);
  }
}

TEST(ToolkitFileSelector, ArgumentsEnvironmentAndNoBlocking) {
  FakeTools tools;
  tools.install("zenity", "sleep 0.3; echo /tmp/t.fxb");
  tools.install("kdialog", "echo never");
  platform::FileSelector selector;
  selector.setSearchPath(tools.dir.string());
  ::setenv("LD_LIBRARY_PATH", "/opt/host/private-libs", 1);
  const auto before = std::chrono::steady_clock::now();
  ASSERT_TRUE(selector.start(saveBank()));
  EXPECT_EQ(selector.poll(), State::Running);
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(200));
  ::unsetenv("LD_LIBRARY_PATH");
  EXPECT_EQ(runToEnd(selector), State::Chosen);
  EXPECT_EQ(selector.toolName(), "zenity");  // zenity first when both exist
  EXPECT_EQ(tools.read("args"),
            "--file-selection\n--title=Save bank\n--save\n--confirm-overwrite\n"
            "--filename=/home/user/presets/Tavrel.fxb\n--file-filter=Bank files (*.fxb) | *.fxb\n"
            "--file-filter=All files | *\n");
  EXPECT_EQ(tools.read("libpath"), "unset\n");

  // kdialog's form, and a dialog cancelled from our side.
  fs::remove(tools.dir / "zenity");
  fs::remove(tools.dir / "libpath");
  tools.install("kdialog", "sleep 5");
  platform::FileRequest open = saveBank();
  open.mode = platform::FileRequest::Mode::Open;
  open.title = "Load bank";
  open.ownerWindow = 0x2a00007;
  ASSERT_TRUE(selector.start(open));
  EXPECT_EQ(selector.toolName(), "kdialog");
  for (int i = 0; i < 200 && tools.read("libpath").empty(); ++i)  // until the stand-in has run
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  selector.cancel();
  EXPECT_EQ(selector.state(), State::Cancelled);
  EXPECT_EQ(tools.read("args"), "--title\nLoad bank\n--attach\n44040199\n--getopenfilename\n/home/user/presets\n*.fxb|Bank files\n*|All files\n");
}

// The dialog holds /dev/null as its input and error output and nothing of
// the host's: not even a descriptor the host opened without close-on-exec.
TEST(ToolkitFileSelector, TheDialogHoldsNoneOfTheHostsDescriptors) {
  FakeTools tools;
  // Every descriptor with its target; ls's own listing of the folder shows
  // as a /proc path.
  tools.install("zenity", "ls -l /proc/self/fd > '" + (tools.dir / "fds").string() + "'; echo /tmp/x.fxb");
  const std::string leak = (tools.dir / "host-device").string();
  std::ofstream(leak) << "busy";
  const int held = ::open(leak.c_str(), O_RDONLY);  // no O_CLOEXEC, as an old host's audio device
  ASSERT_GE(held, 3);
  platform::FileSelector selector;
  selector.setSearchPath(tools.dir.string());
  ASSERT_TRUE(selector.start(saveBank()));
  EXPECT_EQ(runToEnd(selector), State::Chosen);
  ::close(held);
  std::istringstream listing(tools.read("fds"));
  std::string line, open;
  for (std::getline(listing, line); std::getline(listing, line);) {  // after "total 0"
    const std::size_t arrow = line.find(" -> ");
    ASSERT_NE(arrow, std::string::npos) << line;
    const std::string target = line.substr(arrow + 4);
    if (target.rfind("/proc/", 0) == 0) continue;
    const std::size_t space = line.rfind(' ', arrow - 1);
    open += line.substr(space + 1, arrow - space - 1) + " " + target + "\n";
  }
  EXPECT_EQ(open, "0 /dev/null\n1 " + (tools.dir / "fds").string() + "\n2 /dev/null\n");
}

TEST(ToolkitTickCount, MillisecondsAndUnsignedDifferences) {
  const uint32_t a = platform::tickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const uint32_t elapsed = platform::tickCount() - a;
  EXPECT_GE(elapsed, 29u);
  EXPECT_LT(elapsed, 2000u);
  // Differences stay right across the wrap.
  const uint32_t beforeWrap = 0xfffffff0u, afterWrap = 0x10u;
  EXPECT_EQ(afterWrap - beforeWrap, 0x20u);
}

}  // namespace
