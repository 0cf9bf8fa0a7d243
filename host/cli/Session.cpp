#include "host/cli/Session.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "host/StateImages.h"
#include "host/cli/AudioIO.h"
#include "host/cli/CliError.h"

namespace cli {
namespace {

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

std::string trimmed(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

double parseNumber(const std::string& option, const std::string& text, double lo, double hi) {
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || end == nullptr || *end != '\0' || !std::isfinite(v) || v < lo || v > hi) {
    char range[96];
    std::snprintf(range, sizeof range, "a number from %g to %g", lo, hi);
    throw CliError(option + " needs " + range + ", got '" + text + "'", 2);
  }
  return v;
}

std::pair<std::string, std::string> parseAssignment(const std::string& option, const std::string& text) {
  const size_t eq = text.find('=');
  if (eq == std::string::npos || eq == 0) throw CliError(option + " needs NAME=VALUE, got '" + text + "'", 2);
  return {text.substr(0, eq), text.substr(eq + 1)};
}

std::vector<uint8_t> chunkOf(host::PluginInstance& plugin) { return plugin.getChunk(); }

void sendChunk(host::PluginInstance& plugin, const std::vector<uint8_t>& chunk, const std::string& what) {
  const intptr_t result = plugin.setChunk(chunk);
  if (result != 0) throw CliError("the plug-in refused " + what + " (effSetChunk answered " + std::to_string(result) + ")");
}

}  // namespace

Options parseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.size() < 2 || arg[0] != '-' || arg == "-") {
      if (o.command.empty())
        o.command = arg;
      else
        o.positional.push_back(arg);
      continue;
    }
    std::string value;
    bool hasInlineValue = false;
    const size_t eq = arg.find('=');
    if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
      hasInlineValue = true;
    }
    auto next = [&]() -> std::string {
      if (hasInlineValue) return value;
      if (i + 1 >= argc) throw CliError(arg + " needs a value", 2);
      return argv[++i];
    };
    if (arg == "--plugin") {
      o.plugins.push_back({next(), {}});
    } else if (arg == "--plugin-set") {
      if (o.plugins.empty()) throw CliError("--plugin-set must follow a --plugin", 2);
      o.plugins.back().sets.push_back(parseAssignment(arg, next()));
    } else if (arg == "--block") {
      o.block = static_cast<int>(parseNumber(arg, next(), 1, 65536));
    } else if (arg == "--double") {
      o.useDouble = true;
    } else if (arg == "--tail") {
      o.tail = parseNumber(arg, next(), 0, 3600);
    } else if (arg == "--program") {
      o.program = next();
    } else if (arg == "--set") {
      o.sets.push_back(parseAssignment(arg, next()));
    } else if (arg == "--tempo") {
      o.tempo = parseNumber(arg, next(), 1, 999);
    } else if (arg == "--ppq") {
      o.ppq = true;
      if (hasInlineValue) o.ppqStart = parseNumber(arg, value, 0, 1e9);
    } else if (arg == "--key") {
      o.key = next();
    } else if (arg == "--chunk") {
      o.chunk = next();
    } else if (arg == "--preset") {
      o.preset = next();
    } else if (arg == "--bank") {
      o.bank = next();
    } else if (arg == "--midi-map") {
      o.midiMap = next();
    } else if (arg == "--save-chunk") {
      o.saveChunk = next();
    } else if (arg == "--plot") {
      o.plot = next();
    } else if (arg == "--seconds") {
      o.seconds = parseNumber(arg, next(), 0.1, 3600);
    } else if (arg == "--all-programs") {
      o.allPrograms = true;
    } else if (arg == "--rate") {
      o.sampleRate = static_cast<int>(parseNumber(arg, next(), 8000, 384000));
    } else if (arg == "--quiet" || arg == "-q") {
      o.quiet = true;
    } else if (arg == "--help" || arg == "-h") {
      o.command = "help";
    } else {
      throw CliError("unknown option " + arg + " (see tavrel --help)", 2);
    }
    if (hasInlineValue && (arg == "--double" || arg == "--all-programs" || arg == "--quiet"))
      throw CliError(arg + " takes no value", 2);
  }
  return o;
}

std::string defaultPluginPath() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  const std::filesystem::path candidate = ec ? std::filesystem::path("Tavrel.so") : self.parent_path() / "Tavrel.so";
  if (!std::filesystem::exists(candidate))
    throw CliError("cannot find the Tavrel plug-in at " + candidate.string() + "; build it or pass --plugin PATH");
  return candidate.string();
}

std::unique_ptr<host::PluginInstance> openPlugin(const std::string& path, const host::HostScript& script) {
  std::string error;
  auto plugin = host::PluginInstance::load(path, script, &error);
  if (plugin == nullptr) throw CliError(error);
  return plugin;
}

std::vector<std::string> parameterNames(host::PluginInstance& plugin) {
  std::vector<std::string> names;
  for (int i = 0; i < plugin.numParams(); ++i) names.push_back(trimmed(plugin.parameterName(i)));
  return names;
}

int findParameter(host::PluginInstance& plugin, const std::string& name) {
  const std::vector<std::string> names = parameterNames(plugin);
  std::vector<int> exact, folded;
  for (int i = 0; i < static_cast<int>(names.size()); ++i) {
    if (names[i] == name) exact.push_back(i);
    if (lower(names[i]) == lower(name)) folded.push_back(i);
  }
  const std::vector<int>& found = exact.empty() ? folded : exact;
  if (found.size() == 1) return found.front();
  if (found.empty()) throw CliError("unknown parameter '" + name + "' (tavrel info lists the parameter names)");
  throw CliError("parameter name '" + name + "' is ambiguous: " + std::to_string(found.size()) +
                 " parameters have it");
}

float parseNormalised(const std::string& name, const std::string& text) {
  return static_cast<float>(parseNumber("--set " + name, text, 0.0, 1.0));
}

std::vector<std::string> programNames(host::PluginInstance& plugin) {
  const std::vector<uint8_t> chunk = chunkOf(plugin);
  const int count = host::tavrel::isChunk(chunk) ? host::tavrel::kPrograms : plugin.numPrograms();
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back(trimmed(plugin.programNameIndexed(i)));
  return names;
}

int findProgram(host::PluginInstance& plugin, const std::string& numberOrName) {
  const std::vector<std::string> names = programNames(plugin);
  const std::string wanted = trimmed(numberOrName);
  if (!wanted.empty() && std::all_of(wanted.begin(), wanted.end(), [](unsigned char c) { return std::isdigit(c); })) {
    const long n = std::strtol(wanted.c_str(), nullptr, 10);
    if (wanted.size() > 6 || n >= static_cast<long>(names.size()))
      throw CliError("unknown program " + wanted + ": the plug-in has programs 0 to " +
                     std::to_string(static_cast<long>(names.size()) - 1));
    return static_cast<int>(n);
  }
  for (int i = 0; i < static_cast<int>(names.size()); ++i)
    if (names[i] == wanted) return i;
  for (int i = 0; i < static_cast<int>(names.size()); ++i)
    if (lower(names[i]) == lower(wanted)) return i;
  throw CliError("unknown program '" + numberOrName + "' (tavrel info lists the programs)");
}

void selectProgram(host::PluginInstance& plugin, int program) {
  std::vector<uint8_t> chunk = chunkOf(plugin);
  if (host::tavrel::isChunk(chunk)) {
    // The plug-in's internal programs sit behind one host program: the
    // chunk's current-program word selects among them.
    host::tavrel::setCurrentProgram(chunk, program);
    sendChunk(plugin, chunk, "the program change");
    if (host::tavrel::currentProgram(chunkOf(plugin)) != program)
      throw CliError("the plug-in did not select program " + std::to_string(program));
  } else {
    plugin.dispatch(vst::effSetProgram, 0, program);
  }
}

void setByName(host::PluginInstance& plugin, const std::vector<std::pair<std::string, std::string>>& sets) {
  // Check every name and value first, so a typo changes nothing.
  std::vector<std::pair<int, float>> writes;
  for (const auto& [name, text] : sets) writes.emplace_back(findParameter(plugin, name), parseNormalised(name, text));
  for (const auto& [index, value] : writes) plugin.setParameter(index, value);
}

void applySettings(host::PluginInstance& plugin, const Options& o) {
  const bool needsTavrelChunk = !o.bank.empty() || !o.preset.empty() || !o.midiMap.empty();
  if (!o.chunk.empty()) {
    const std::vector<unsigned char> bytes = readBytes(o.chunk);
    sendChunk(plugin, bytes, o.chunk);
  }
  auto loadImage = [&](const std::string& path, auto apply) {
    std::vector<uint8_t> chunk = chunkOf(plugin);
    if (!host::tavrel::isChunk(chunk))
      throw CliError(path + ": the plug-in does not keep its state in a Tavrel chunk");
    const std::string why = apply(chunk, readBytes(path));
    if (!why.empty()) throw CliError(path + ": " + why);
    sendChunk(plugin, chunk, path);
  };
  if (!o.bank.empty()) loadImage(o.bank, host::tavrel::applyBank);
  if (!o.program.empty()) selectProgram(plugin, findProgram(plugin, o.program));
  if (!o.preset.empty()) loadImage(o.preset, host::tavrel::applyPreset);
  if (!o.midiMap.empty()) loadImage(o.midiMap, host::tavrel::applyMidiSettings);
  (void)needsTavrelChunk;
  setByName(plugin, o.sets);
  if (!o.saveChunk.empty()) {
    const std::vector<uint8_t> chunk = chunkOf(plugin);
    if (chunk.empty()) throw CliError("the plug-in gave no chunk to save");
    writeBytes(o.saveChunk, chunk);
  }
}

std::string formatDb(double linear) {
  if (linear <= 1e-10) return "-inf dBFS";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f dBFS", 20.0 * std::log10(linear));
  return text;
}

}  // namespace cli
