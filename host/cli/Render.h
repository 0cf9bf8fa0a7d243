// Runs audio through a loaded plug-in in host-sized blocks: a file or a
// buffer in, a file out, a tail until the echoes have died away, the level
// figures for the summary and a reduced waveform for the picture.
#pragma once

#include <string>
#include <vector>

#include "host/PluginHost.h"
#include "host/cli/AudioIO.h"
#include "host/cli/Session.h"

namespace cli {

// Minimum and maximum of each output channel over buckets of a fixed
// number of frames: enough to draw a waveform of any length.
struct Waveform {
  static constexpr int kBucket = 64;
  std::vector<float> lo[2], hi[2];
  long frames = 0;
  void add(float left, float right);
};

struct RenderResult {
  int sampleRate = 0;
  long inputFrames = 0;
  long tailFrames = 0;
  bool tailCapped = false;
  double inputPeak = 0, inputRms = 0, outputPeak = 0, outputRms = 0;
  double seconds = 0;  // wall-clock time of the run
};

// Where the audio comes from: interleaved frames of `channels` channels.
class Source {
 public:
  virtual ~Source() = default;
  virtual int channels() const = 0;
  virtual int sampleRate() const = 0;
  virtual long frames() const = 0;
  virtual long read(float* interleaved, long frames) = 0;
  virtual long read(double* interleaved, long frames) = 0;
};

class FileSource : public Source {
 public:
  explicit FileSource(const std::string& path);
  int channels() const override { return reader_.channels(); }
  int sampleRate() const override { return reader_.sampleRate(); }
  long frames() const override { return reader_.frames(); }
  int format() const { return reader_.format(); }
  long read(float* interleaved, long frames) override { return reader_.read(interleaved, frames); }
  long read(double* interleaved, long frames) override { return reader_.read(interleaved, frames); }

 private:
  SoundReader reader_;
};

class MemorySource : public Source {
 public:
  MemorySource(Planar channels, int sampleRate) : data_(std::move(channels)), rate_(sampleRate) {}
  int channels() const override { return static_cast<int>(data_.size()); }
  int sampleRate() const override { return rate_; }
  long frames() const override { return data_.empty() ? 0 : static_cast<long>(data_[0].size()); }
  long read(float* interleaved, long frames) override;
  long read(double* interleaved, long frames) override;

 private:
  template <typename T>
  long readAny(T* interleaved, long frames);
  Planar data_;
  int rate_;
  long pos_ = 0;
};

struct RenderSettings {
  bool useDouble = false;
  double tail = -1.0;            // seconds; < 0: until below -90 dBFS
  double tailCap = 120.0;        // the longest automatic tail
  const Planar* key = nullptr;   // routed to inputs 3 and 4
  SoundWriter* writer = nullptr;
  Waveform* waveform = nullptr;
  bool progress = false;
};

// The plug-in must be set up (rate, block size, settings, arrangement) and
// resumed. Output is stereo.
RenderResult render(host::PluginInstance& plugin, Source& source, const RenderSettings& settings);

// The impulse response of the plug-in's current setting, from a cleared
// state: stereo, up to `seconds` long, cut after the last sound above
// -60 dBFS (and no shorter than `minSeconds`).
Planar impulseResponse(host::PluginInstance& plugin, double seconds, double minSeconds);

// Brings a freshly loaded plug-in into the state the options ask for and
// starts it: rate, block size, settings, the speaker arrangement (4 in with
// a key signal, else 2 in), transport.
void prepare(host::PluginInstance& plugin, const Options& options, int sampleRate, bool withKey);

host::HostScript scriptFor(const Options& options, int sampleRate, bool withKey);

std::string summaryLine(const std::string& what, const RenderResult& r);

}  // namespace cli
