// The one kind of failure the command-line host reports: a message for the
// user, printed as one line, and the exit status to leave with.
#pragma once

#include <stdexcept>
#include <string>

namespace cli {

class CliError : public std::runtime_error {
 public:
  explicit CliError(const std::string& message, int status = 1) : std::runtime_error(message), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

// Set by SIGINT / SIGTERM; long loops check it and stop cleanly, so no
// partial output file is left behind.
bool interrupted();
void throwIfInterrupted();

}  // namespace cli
