// The commands of the `tavrel` program. Each returns the exit status or
// throws CliError.
#pragma once

#include "host/cli/Session.h"

namespace cli {

int runRender(const Options& options);  // render IN OUT, plot IN PNG
int runInfo(const Options& options);
int runDemo(const Options& options);
int runBench(const Options& options);

}  // namespace cli
