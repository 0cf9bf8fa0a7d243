// Command-line options shared by the commands, and the set-up every command
// does: load the plug-in and bring it into the state the options describe,
// talking to it only through the plug-in interface.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/PluginHost.h"

namespace cli {

struct PeerPlugin {
  std::string path;
  std::vector<std::pair<std::string, std::string>> sets;  // --plugin-set after this --plugin
};

struct Options {
  std::string command;
  std::vector<std::string> positional;
  std::vector<PeerPlugin> plugins;  // --plugin, in order
  int block = 512;
  bool useDouble = false;
  double tail = -1.0;  // seconds; < 0: until the output has died away
  std::string program;
  std::vector<std::pair<std::string, std::string>> sets;
  double tempo = 120.0;
  bool ppq = false;
  double ppqStart = 0.0;
  std::string key, chunk, preset, bank, midiMap, saveChunk, plot;
  double seconds = 2.0;      // bench: noise per timed pass
  bool allPrograms = false;  // bench
  int sampleRate = 44100;    // bench, demo
  bool quiet = false;
};

// Throws CliError (status 2) for unknown options or missing values.
Options parseOptions(int argc, char** argv);

// Tavrel.so beside the running program.
std::string defaultPluginPath();

std::unique_ptr<host::PluginInstance> openPlugin(const std::string& path, const host::HostScript& script);

// The host's view of the plug-in's parameters and programs.
std::vector<std::string> parameterNames(host::PluginInstance& plugin);
int findParameter(host::PluginInstance& plugin, const std::string& name);  // throws for unknown names
float parseNormalised(const std::string& name, const std::string& text);

// The plug-in's own programs: for Tavrel, the 61 internal programs behind
// its single host program (reached through the chunk); for other plug-ins,
// their host programs.
std::vector<std::string> programNames(host::PluginInstance& plugin);
int findProgram(host::PluginInstance& plugin, const std::string& numberOrName);  // number or name
void selectProgram(host::PluginInstance& plugin, int program);

// Applies --chunk, --bank, --program, --preset, --midi-map and --set, in
// that order, and writes --save-chunk.
void applySettings(host::PluginInstance& plugin, const Options& options);
void setByName(host::PluginInstance& plugin, const std::vector<std::pair<std::string, std::string>>& sets);

std::string formatDb(double linear);

}  // namespace cli
