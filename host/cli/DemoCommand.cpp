#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "host/cli/CliError.h"
#include "host/cli/Commands.h"
#include "host/cli/Plot.h"
#include "host/cli/Render.h"

namespace cli {
namespace {

// A short phrase made at run time: plucked strings (a delay line with an
// averaging filter in its loop) and a few rim clicks, with space between
// the notes for the echoes to be heard.
class Phrase {
 public:
  explicit Phrase(int rate) : rate_(rate) {}

  Planar make() {
    const double beat = 0.5;  // 120 BPM, the tempo the host reports
    const long frames = static_cast<long>(4.5 * rate_);
    Planar out(2, std::vector<float>(static_cast<size_t>(frames), 0.0f));
    struct Note {
      double beat;
      int midi;
      float velocity, pan;
    };
    const Note notes[] = {{0.0, 57, 0.9f, 0.40f}, {1.0, 60, 0.7f, 0.55f}, {1.5, 64, 0.7f, 0.45f},
                          {2.0, 67, 0.8f, 0.60f}, {3.0, 69, 0.9f, 0.50f}, {5.0, 64, 0.6f, 0.45f},
                          {5.5, 62, 0.6f, 0.55f}, {6.0, 57, 0.8f, 0.50f}};
    for (const Note& n : notes) pluck(out, n.beat * beat, 440.0 * std::pow(2.0, (n.midi - 69) / 12.0), n.velocity, n.pan);
    for (double b : {0.0, 2.0, 4.0, 6.0}) click(out, b * beat, b == 0.0 ? 0.5f : 0.3f);
    return out;
  }

 private:
  float noise() {
    seed_ = seed_ * 1664525u + 1013904223u;
    return static_cast<float>(static_cast<int32_t>(seed_)) / 2147483648.0f;
  }

  void pluck(Planar& out, double at, double freq, float velocity, float pan) {
    const size_t period = static_cast<size_t>(std::max(2.0, rate_ / freq));
    std::vector<float> string(period);
    for (float& s : string) s = noise();
    const long start = static_cast<long>(at * rate_);
    const long length = std::min<long>(static_cast<long>(1.6 * rate_), static_cast<long>(out[0].size()) - start);
    const float gain = 0.35f * velocity;
    size_t pos = 0;
    float lowpassed = 0.0f;
    for (long i = 0; i < length; ++i) {
      const size_t next = (pos + 1) % period;
      const float v = string[pos];
      string[pos] = 0.996f * 0.5f * (string[pos] + string[next]);
      pos = next;
      lowpassed += 0.5f * (v - lowpassed);  // soften the attack a little
      const float fade = i > length - 2000 ? static_cast<float>(length - i) / 2000.0f : 1.0f;
      out[0][start + i] += gain * fade * lowpassed * std::sqrt(1.0f - pan);
      out[1][start + i] += gain * fade * lowpassed * std::sqrt(pan);
    }
  }

  void click(Planar& out, double at, float level) {
    const long start = static_cast<long>(at * rate_);
    const long length = std::min<long>(static_cast<long>(0.03 * rate_), static_cast<long>(out[0].size()) - start);
    float previous = 0.0f;
    for (long i = 0; i < length; ++i) {
      const float n = noise();
      const float bright = n - previous;  // a first difference: a high, woody tick
      previous = n;
      const float v = level * bright * std::exp(-static_cast<float>(i) / (0.004f * rate_));
      out[0][start + i] += v;
      out[1][start + i] += v;
    }
  }

  int rate_;
  uint32_t seed_ = 12345u;
};

std::string slug(const std::string& name) {
  std::string s;
  for (unsigned char c : name) {
    if (std::isalnum(c))
      s += static_cast<char>(std::tolower(c));
    else if (!s.empty() && s.back() != '-')
      s += '-';
  }
  while (!s.empty() && s.back() == '-') s.pop_back();
  return s.empty() ? "program" : s;
}

}  // namespace

int runDemo(const Options& o) {
  if (o.positional.size() > 1) throw CliError("usage: tavrel demo [OUTDIR]", 2);
  const std::filesystem::path dir = o.positional.empty() ? "tavrel-demo" : o.positional[0];
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) throw CliError("cannot create " + dir.string() + ": " + ec.message());

  const int rate = o.sampleRate;
  const Planar phrase = Phrase(rate).make();
  const std::string pluginPath = o.plugins.empty() ? defaultPluginPath() : o.plugins.front().path;
  const int format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;

  {
    const std::string path = (dir / "00-dry.wav").string();
    SoundWriter writer(path, format, 2, rate);
    std::vector<float> interleaved;
    for (size_t i = 0; i < phrase[0].size(); ++i) {
      interleaved.push_back(phrase[0][i]);
      interleaved.push_back(phrase[1][i]);
    }
    writer.write(interleaved.data(), static_cast<long>(phrase[0].size()));
    writer.commit();
    std::printf("wrote %-40s the dry phrase (%.1f s)\n", path.c_str(), static_cast<double>(phrase[0].size()) / rate);
  }

  // A tour of the factory bank: a clean studio echo, a slapback, a pre-delay
  // arpeggio, a chorus, a wide modulated wash, a dub loop, an envelope-swept
  // resonant filter.
  const char* programs[] = {"Studio One",   "Bitch Slap", "Airpeggiator", "Octachoron",
                            "Cirrostratus", "Rub A Dub",  "Acid Reflux"};
  int written = 0;
  for (const char* name : programs) {
    Options settings = o;
    settings.program = name;
    settings.ppq = true;  // a playing transport, as in a song
    auto plugin = openPlugin(pluginPath, scriptFor(settings, rate, false));
    int index;
    try {
      index = findProgram(*plugin, name);
    } catch (const CliError&) {
      std::printf("skipped: the plug-in has no program named \"%s\"\n", name);
      continue;
    }
    prepare(*plugin, settings, rate, false);
    char stem[64];
    std::snprintf(stem, sizeof stem, "%02d-%s", written + 1, slug(name).c_str());
    const std::string wav = (dir / (std::string(stem) + ".wav")).string();
    const std::string png = (dir / (std::string(stem) + ".png")).string();

    MemorySource source(phrase, rate);
    SoundWriter writer(wav, format, 2, rate);
    Waveform waveform;
    RenderSettings rs;
    rs.writer = &writer;
    rs.waveform = &waveform;
    rs.tailCap = 20.0;
    const RenderResult r = render(*plugin, source, rs);
    writer.commit();
    const Planar impulse = impulseResponse(*plugin, 10.0, 1.0);
    writePlot(png, std::string("Tavrel program ") + std::to_string(index) + " \"" + name + "\" - demo phrase",
              waveform, impulse, rate);
    std::printf("wrote %-40s program %2d \"%s\" (%.1f s, peak %s) and its picture %s\n", wav.c_str(), index, name,
                static_cast<double>(r.inputFrames + r.tailFrames) / rate, formatDb(r.outputPeak).c_str(),
                png.c_str());
    ++written;
  }
  if (written == 0) throw CliError("the plug-in has none of the demo programs");
  return 0;
}

}  // namespace cli
