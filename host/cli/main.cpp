// tavrel: runs the Tavrel delay (or any VST 2.4 plug-in) without a DAW.
#include <csignal>
#include <cstdio>
#include <exception>

#include "host/cli/CliError.h"
#include "host/cli/Commands.h"

namespace cli {
namespace {

volatile std::sig_atomic_t gInterrupted = 0;

void onSignal(int) { gInterrupted = 1; }

const char* kUsage =
    "usage: tavrel COMMAND [options]\n"
    "\n"
    "commands:\n"
    "  render IN OUT      run a sound file (WAV, FLAC, AIFF, OGG; mono or stereo) through the plug-in\n"
    "  plot IN PNG        picture of the output waveform and the impulse response of the setting\n"
    "  info               identity, I/O, parameters and programs of the plug-in\n"
    "  demo [OUTDIR]      render a built-in phrase through several factory programs (default ./tavrel-demo)\n"
    "  bench              time noise through Tavrel configurations and other plug-ins\n"
    "\n"
    "options:\n"
    "  --plugin PATH          the plug-in to load (default: Tavrel.so beside this program);\n"
    "                         for bench: another plug-in to compare with (repeatable)\n"
    "  --plugin-set NAME=V    a parameter of the --plugin before it (normalised 0..1)\n"
    "  --program N|NAME       select an internal program by number or name\n"
    "  --set NAME=VALUE       a parameter by its short name, normalised 0..1 (repeatable)\n"
    "  --preset FILE.zel      load a preset into the current program\n"
    "  --bank FILE.zbk        load a bank of 61 programs (selects program 0)\n"
    "  --midi-map FILE.zmd    load the MIDI controller assignments\n"
    "  --chunk FILE           restore a whole saved state;  --save-chunk FILE  save it\n"
    "  --block N              host block size (default 512)\n"
    "  --double               use the double-precision process entry\n"
    "  --tail SECONDS         tail after the input (default: until the output is below -90 dBFS)\n"
    "  --tempo BPM            host tempo (default 120)\n"
    "  --ppq[=START]          report a playing transport with its song position (quarter notes)\n"
    "  --key KEY.wav          side-chain signal for the ducking, on inputs 3 and 4\n"
    "  --plot PNG             render: also draw the picture\n"
    "  --seconds N            bench: seconds of noise per timed pass; the fastest of 5 counts (default 2)\n"
    "  --all-programs         bench: print every factory program (the median and the dearest always)\n"
    "  --rate HZ              bench, demo, info: sample rate (default 44100)\n"
    "  --quiet                no summary or progress\n";

}  // namespace

bool interrupted() { return gInterrupted != 0; }

void throwIfInterrupted() {
  if (interrupted()) throw CliError("interrupted", 130);
}

}  // namespace cli

int main(int argc, char** argv) {
  std::signal(SIGINT, cli::onSignal);
  std::signal(SIGTERM, cli::onSignal);
  try {
    const cli::Options options = cli::parseOptions(argc, argv);
    if (options.command.empty() || options.command == "help") {
      std::fputs(cli::kUsage, options.command.empty() ? stderr : stdout);
      return options.command.empty() ? 2 : 0;
    }
    if (options.command == "render" || options.command == "plot") return cli::runRender(options);
    if (options.command == "info") return cli::runInfo(options);
    if (options.command == "demo") return cli::runDemo(options);
    if (options.command == "bench") return cli::runBench(options);
    throw cli::CliError("unknown command '" + options.command + "' (see tavrel --help)", 2);
  } catch (const cli::CliError& e) {
    std::fprintf(stderr, "tavrel: %s\n", e.what());
    return e.status();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tavrel: %s\n", e.what());
    return 1;
  }
}
