#include <cstdio>
#include <string>

#include "host/StateImages.h"
#include "host/cli/CliError.h"
#include "host/cli/Commands.h"
#include "host/cli/Render.h"

namespace cli {
namespace {

std::string fourCharText(int32_t id) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((static_cast<uint32_t>(id) >> shift) & 0xff);
    text += (c >= 32 && c < 127) ? c : '?';
  }
  return text;
}

std::string flagNames(int32_t flags) {
  static const struct {
    int32_t bit;
    const char* name;
  } kFlags[] = {{vst::effFlagsHasEditor, "editor"},
                {vst::effFlagsCanReplacing, "replacing"},
                {vst::effFlagsProgramChunks, "program chunks"},
                {vst::effFlagsIsSynth, "synth"},
                {vst::effFlagsNoSoundInStop, "no sound in stop"},
                {vst::effFlagsCanDoubleReplacing, "double replacing"}};
  std::string text;
  for (const auto& f : kFlags)
    if (flags & f.bit) text += (text.empty() ? "" : ", ") + std::string(f.name);
  return text;
}

}  // namespace

int runInfo(const Options& o) {
  if (!o.positional.empty()) throw CliError("usage: tavrel info [--plugin PATH] [--program P] [--set NAME=VALUE]", 2);
  const std::string path = o.plugins.empty() ? defaultPluginPath() : o.plugins.front().path;
  auto plugin = openPlugin(path, scriptFor(o, o.sampleRate, false));
  plugin->setSampleRate(static_cast<float>(o.sampleRate));
  plugin->setBlockSize(o.block);
  applySettings(*plugin, o);
  if (!o.plugins.empty()) setByName(*plugin, o.plugins.front().sets);

  std::printf("plug-in     %s\n", path.c_str());
  std::printf("name        %s\n", plugin->effectName().c_str());
  std::printf("vendor      %s\n", plugin->vendorString().c_str());
  std::printf("product     %s\n", plugin->productString().c_str());
  std::printf("unique ID   '%s' (0x%08x)\n", fourCharText(plugin->uniqueID()).c_str(),
              static_cast<uint32_t>(plugin->uniqueID()));
  std::printf("version     %d (vendor version %ld, VST version %ld)\n", plugin->effect()->version,
              static_cast<long>(plugin->dispatch(vst::effGetVendorVersion)),
              static_cast<long>(plugin->dispatch(vst::effGetVstVersion)));
  std::printf("flags       0x%04x (%s)\n", static_cast<uint32_t>(plugin->flags()), flagNames(plugin->flags()).c_str());
  std::printf("I/O         %d inputs, %d outputs, initial delay %d\n", plugin->numInputs(), plugin->numOutputs(),
              plugin->effect()->initialDelay);
  std::printf("MIDI        receiveVstMidiEvent: %ld\n", static_cast<long>(plugin->canDo("receiveVstMidiEvent")));

  std::printf("\n%d parameters\n", plugin->numParams());
  std::printf("  %3s  %-10s %-10s %-8s %s\n", "#", "name", "value", "label", "normalised");
  for (int i = 0; i < plugin->numParams(); ++i) {
    std::printf("  %3d  %-10s %-10s %-8s %.4f\n", i, plugin->parameterName(i).c_str(),
                plugin->parameterDisplay(i).c_str(), plugin->parameterLabel(i).c_str(), plugin->getParameter(i));
  }

  const std::vector<std::string> programs = programNames(*plugin);
  const std::vector<uint8_t> chunk = plugin->getChunk();
  const int current = host::tavrel::isChunk(chunk) ? host::tavrel::currentProgram(chunk)
                                                   : static_cast<int>(plugin->dispatch(vst::effGetProgram));
  std::printf("\n%zu programs (current: %d)\n", programs.size(), current);
  for (size_t i = 0; i < programs.size(); ++i)
    std::printf("  %c%2zu  %s\n", static_cast<int>(i) == current ? '*' : ' ', i, programs[i].c_str());
  return 0;
}

}  // namespace cli
