#include <unistd.h>

#include <cstdio>
#include <memory>

#include "host/cli/CliError.h"
#include "host/cli/Commands.h"
#include "host/cli/Plot.h"
#include "host/cli/Render.h"

namespace cli {

// `render IN OUT [--plot PNG]` and `plot IN PNG`: both run IN through the
// plug-in; render writes the audio, plot only the picture.
int runRender(const Options& o) {
  const bool plotOnly = o.command == "plot";
  if (o.positional.size() != 2)
    throw CliError(plotOnly ? "usage: tavrel plot IN PNG [options]" : "usage: tavrel render IN OUT [options]", 2);
  const std::string& inPath = o.positional[0];
  const std::string outPath = plotOnly ? std::string() : o.positional[1];
  const std::string plotPath = plotOnly ? o.positional[1] : o.plot;

  FileSource source(inPath);
  Planar key;
  if (!o.key.empty()) {
    int keyRate = 0;
    key = readWhole(o.key, &keyRate);
    if (keyRate != source.sampleRate())
      throw CliError(o.key + " runs at " + std::to_string(keyRate) + " Hz but " + inPath + " at " +
                     std::to_string(source.sampleRate()) + " Hz");
    if (key.size() > 2) throw CliError(o.key + ": only a mono or stereo key signal can be used");
  }

  const std::string pluginPath = o.plugins.empty() ? defaultPluginPath() : o.plugins.front().path;
  auto plugin = openPlugin(pluginPath, scriptFor(o, source.sampleRate(), !o.key.empty()));
  prepare(*plugin, o, source.sampleRate(), !o.key.empty());
  if (!o.plugins.empty()) setByName(*plugin, o.plugins.front().sets);
  if (o.useDouble && !plugin->canDoubleReplacing())
    throw CliError("the plug-in does not process in double precision");

  std::unique_ptr<SoundWriter> writer;
  if (!outPath.empty())
    writer = std::make_unique<SoundWriter>(outPath, outputFormat(outPath, source.format()), 2, source.sampleRate());
  Waveform waveform;
  RenderSettings settings;
  settings.useDouble = o.useDouble;
  settings.tail = o.tail;
  settings.key = key.empty() ? nullptr : &key;
  settings.writer = writer.get();
  settings.waveform = plotPath.empty() ? nullptr : &waveform;
  settings.progress = !o.quiet && isatty(STDERR_FILENO) && source.frames() > 5L * source.sampleRate();

  const RenderResult result = render(*plugin, source, settings);
  if (!plotPath.empty()) {
    const Planar impulse = impulseResponse(*plugin, 10.0, 1.0);
    writePlot(plotPath, plugin->effectName() + " - " + inPath, waveform, impulse, source.sampleRate());
  }
  plugin->suspend();
  if (writer) writer->commit();

  if (!o.quiet) {
    std::printf("%s\n", summaryLine(inPath + (outPath.empty() ? "" : " -> " + outPath), result).c_str());
    if (result.tailCapped)
      std::printf("note: the echoes had not died away after the %.0f s tail limit; pass --tail SECONDS to choose\n",
                  RenderSettings{}.tailCap);
    const int encoding = outputFormat(outPath, source.format()) & SF_FORMAT_SUBMASK;
    const bool fixedPoint = encoding != SF_FORMAT_FLOAT && encoding != SF_FORMAT_DOUBLE;
    if (!outPath.empty() && fixedPoint && result.outputPeak > 1.0)
      std::printf("note: the output peaks at %s and was clipped in %s; lower Output or write a float file\n",
                  formatDb(result.outputPeak).c_str(), outPath.c_str());
    if (!plotPath.empty()) std::printf("wrote %s\n", plotPath.c_str());
  }
  return 0;
}

}  // namespace cli
