#include "host/cli/Render.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "host/cli/CliError.h"

namespace cli {
namespace {

constexpr double kSilence = 3.1622776601683795e-05;  // -90 dBFS
constexpr double kTailHold = 11.0;  // longer than the longest delay line: a quiet gap this long means it is over

template <typename T>
struct Accumulator {
  double peak = 0;
  double sumSquares = 0;
  long samples = 0;
  void add(T v) {
    const double d = static_cast<double>(v);
    peak = std::max(peak, std::fabs(d));
    sumSquares += d * d;
    ++samples;
  }
  double rms() const { return samples > 0 ? std::sqrt(sumSquares / static_cast<double>(samples)) : 0.0; }
};

class Progress {
 public:
  Progress(bool enabled, long total) : enabled_(enabled && total > 0), total_(total) {}
  ~Progress() {
    if (shown_) std::fputs("\r\033[K", stderr);
  }
  void update(long done) {
    if (!enabled_) return;
    const int percent = static_cast<int>(std::min<long>(100, done * 100 / total_));
    if (percent == last_) return;
    last_ = percent;
    shown_ = true;
    char bar[41];
    const int filled = percent * 40 / 100;
    for (int i = 0; i < 40; ++i) bar[i] = i < filled ? '#' : '.';
    bar[40] = '\0';
    std::fprintf(stderr, "\r[%s] %3d%%", bar, percent);
    std::fflush(stderr);
  }

 private:
  bool enabled_;
  long total_;
  int last_ = -1;
  bool shown_ = false;
};

template <typename T>
class Renderer {
 public:
  Renderer(host::PluginInstance& plugin, Source& source, const RenderSettings& s)
      : plugin_(plugin), source_(source), s_(s) {
    const int block = std::max(1, plugin.script().blockSize);
    chunk_ = block * std::max(1, 4096 / block);
  }

  RenderResult run() {
    const auto start = std::chrono::steady_clock::now();
    RenderResult r;
    r.sampleRate = source_.sampleRate();
    const int channels = source_.channels();
    std::vector<T> interleaved(static_cast<size_t>(chunk_) * channels);
    std::vector<std::vector<T>> inputs(4);
    Progress progress(s_.progress, source_.frames());

    for (;;) {
      throwIfInterrupted();
      const long n = source_.read(interleaved.data(), chunk_);
      if (n <= 0) break;
      for (auto& ch : inputs) ch.assign(static_cast<size_t>(n), T(0));
      for (long i = 0; i < n; ++i) {
        for (int c = 0; c < channels; ++c) in_.add(interleaved[static_cast<size_t>(i * channels + c)]);
        inputs[0][i] = interleaved[static_cast<size_t>(i * channels)];
        inputs[1][i] = interleaved[static_cast<size_t>(i * channels + (channels > 1 ? 1 : 0))];
      }
      feedKey(inputs, r.inputFrames, n);
      processChunk(inputs, n);
      emit(0, n);
      r.inputFrames += n;
      progress.update(r.inputFrames);
    }

    if (s_.tail >= 0) {
      long left = static_cast<long>(std::llround(s_.tail * r.sampleRate));
      while (left > 0) {
        throwIfInterrupted();
        const long n = std::min<long>(left, chunk_);
        silentChunk(inputs, r.inputFrames + r.tailFrames, n);
        emit(0, n);
        r.tailFrames += n;
        left -= n;
      }
    } else {
      runAutomaticTail(inputs, r);
    }

    r.inputPeak = in_.peak;
    r.inputRms = in_.rms();
    r.outputPeak = out_.peak;
    r.outputRms = out_.rms();
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return r;
  }

 private:
  // Feeds silence until the output has stayed below -90 dBFS for longer
  // than any echo gap can last, and keeps the output up to its last sound.
  void runAutomaticTail(std::vector<std::vector<T>>& inputs, RenderResult& r) {
    const long hold = static_cast<long>(kTailHold * r.sampleRate);
    const long cap = static_cast<long>(s_.tailCap * r.sampleRate);
    long processed = 0;  // tail frames run through the plug-in
    long quietFrom = 0;  // first tail frame after the last sound
    while (processed - quietFrom < hold) {
      throwIfInterrupted();
      if (processed >= cap + hold) break;
      const long n = chunk_;
      silentChunk(inputs, r.inputFrames + processed, n);
      long lastLoud = -1;
      for (long i = 0; i < n; ++i)
        if (std::fabs(static_cast<double>(outputs_[0][i])) > kSilence ||
            std::fabs(static_cast<double>(outputs_[1][i])) > kSilence)
          lastLoud = i;
      // Keep the quiet stretch since the last sound in memory: it is
      // written only if more sound follows.
      pending_[0].insert(pending_[0].end(), outputs_[0].begin(), outputs_[0].begin() + n);
      pending_[1].insert(pending_[1].end(), outputs_[1].begin(), outputs_[1].begin() + n);
      if (lastLoud >= 0) {
        const long keep = static_cast<long>(pending_[0].size()) - (n - lastLoud - 1);
        long allowed = std::min(keep, cap - r.tailFrames);
        if (allowed > 0) {
          emitPending(allowed);
          r.tailFrames += allowed;
        }
        if (r.tailFrames >= cap) {
          r.tailCapped = true;
          break;
        }
        quietFrom = processed + lastLoud + 1;
      }
      processed += n;
    }
  }

  void feedKey(std::vector<std::vector<T>>& inputs, long pos, long n) {
    if (s_.key == nullptr || s_.key->empty()) return;
    const Planar& key = *s_.key;
    for (int c = 0; c < 2; ++c) {
      const std::vector<float>& src = key[std::min<size_t>(c, key.size() - 1)];
      for (long i = 0; i < n; ++i) {
        const long k = pos + i;
        inputs[2 + c][i] = k < static_cast<long>(src.size()) ? static_cast<T>(src[k]) : T(0);
      }
    }
  }

  void silentChunk(std::vector<std::vector<T>>& inputs, long pos, long n) {
    for (auto& ch : inputs) ch.assign(static_cast<size_t>(n), T(0));
    feedKey(inputs, pos, n);  // a key longer than the input keeps ducking the tail
    processChunk(inputs, n);
  }

  void processChunk(const std::vector<std::vector<T>>& inputs, long n) {
    bool ok;
    if constexpr (std::is_same_v<T, float>) {
      ok = plugin_.process(inputs, outputs_, n);
    } else {
      ok = plugin_.processDouble(inputs, outputs_, n);
    }
    if (!ok) throw CliError(std::is_same_v<T, float> ? "the plug-in has no single-precision process entry"
                                                     : "the plug-in does not process in double precision");
    if (outputs_.size() < 2) outputs_.resize(2, std::vector<T>(static_cast<size_t>(n), T(0)));
    if (plugin_.numOutputs() == 1) outputs_[1] = outputs_[0];
  }

  void emit(long from, long n) { write(outputs_[0].data() + from, outputs_[1].data() + from, n); }

  void emitPending(long n) {
    write(pending_[0].data(), pending_[1].data(), n);
    pending_[0].erase(pending_[0].begin(), pending_[0].begin() + n);
    pending_[1].erase(pending_[1].begin(), pending_[1].begin() + n);
  }

  void write(const T* left, const T* right, long n) {
    interleavedOut_.resize(static_cast<size_t>(n) * 2);
    for (long i = 0; i < n; ++i) {
      interleavedOut_[2 * i] = left[i];
      interleavedOut_[2 * i + 1] = right[i];
      out_.add(left[i]);
      out_.add(right[i]);
      if (s_.waveform != nullptr) s_.waveform->add(static_cast<float>(left[i]), static_cast<float>(right[i]));
    }
    if (s_.writer != nullptr) s_.writer->write(interleavedOut_.data(), n);
  }

  host::PluginInstance& plugin_;
  Source& source_;
  const RenderSettings& s_;
  long chunk_;
  std::vector<std::vector<T>> outputs_;
  std::vector<T> pending_[2];
  std::vector<T> interleavedOut_;
  Accumulator<T> in_, out_;
};

}  // namespace

void Waveform::add(float left, float right) {
  if (frames % kBucket == 0) {
    for (int c = 0; c < 2; ++c) {
      lo[c].push_back(0.0f);
      hi[c].push_back(0.0f);
    }
  }
  const float v[2] = {left, right};
  for (int c = 0; c < 2; ++c) {
    lo[c].back() = std::min(lo[c].back(), v[c]);
    hi[c].back() = std::max(hi[c].back(), v[c]);
  }
  ++frames;
}

FileSource::FileSource(const std::string& path) : reader_(path) {
  if (reader_.channels() > 2)
    throw CliError(path + " has " + std::to_string(reader_.channels()) + " channels; only mono and stereo files can be rendered");
}

template <typename T>
long MemorySource::readAny(T* interleaved, long frames) {
  const long n = std::min(frames, this->frames() - pos_);
  const int channels = this->channels();
  for (long i = 0; i < n; ++i)
    for (int c = 0; c < channels; ++c) interleaved[i * channels + c] = static_cast<T>(data_[c][pos_ + i]);
  pos_ += std::max(0L, n);
  return std::max(0L, n);
}

long MemorySource::read(float* interleaved, long frames) { return readAny(interleaved, frames); }
long MemorySource::read(double* interleaved, long frames) { return readAny(interleaved, frames); }

RenderResult render(host::PluginInstance& plugin, Source& source, const RenderSettings& settings) {
  if (settings.useDouble) return Renderer<double>(plugin, source, settings).run();
  return Renderer<float>(plugin, source, settings).run();
}

Planar impulseResponse(host::PluginInstance& plugin, double seconds, double minSeconds) {
  const float rate = plugin.script().sampleRate;
  // Suspending clears the delay lines; the transport starts again at the top.
  plugin.suspend();
  plugin.script().samplePos = 0;
  plugin.script().ppqPos = 0;
  plugin.resume();
  const long frames = static_cast<long>(seconds * rate);
  Planar input(2, std::vector<float>(static_cast<size_t>(frames), 0.0f));
  input[0][0] = input[1][0] = 1.0f;
  Planar output;
  if (!plugin.process(input, output, frames)) throw CliError("the plug-in has no process entry");
  output.resize(2, std::vector<float>(static_cast<size_t>(frames), 0.0f));
  long last = 0;
  for (long i = 0; i < frames; ++i)
    if (std::fabs(output[0][i]) > 1e-3f || std::fabs(output[1][i]) > 1e-3f) last = i;
  const long keep = std::clamp<long>(last + static_cast<long>(0.25 * rate), static_cast<long>(minSeconds * rate), frames);
  for (auto& ch : output) ch.resize(static_cast<size_t>(keep));
  return output;
}

host::HostScript scriptFor(const Options& o, int sampleRate, bool withKey) {
  host::HostScript s;
  s.sampleRate = static_cast<float>(sampleRate);
  s.blockSize = o.block;
  s.tempo = o.tempo;
  s.connectedInputs = withKey ? 4 : 2;
  s.connectedOutputs = 2;
  s.playing = o.ppq;
  s.ppqPos = o.ppqStart;
  s.samplePos = 0;
  s.timeFlags = vst::kVstTempoValid | vst::kVstTimeSigValid | (o.ppq ? vst::kVstPpqPosValid : 0);
  s.recordCalls = false;
  return s;
}

void prepare(host::PluginInstance& plugin, const Options& o, int sampleRate, bool withKey) {
  plugin.setSampleRate(static_cast<float>(sampleRate));
  plugin.setBlockSize(o.block);
  applySettings(plugin, o);
  // A stereo track keys the ducking from its own signal; a key file is a
  // side chain on inputs 3 and 4.
  const bool arranged = plugin.setSpeakerArrangement(withKey ? 4 : 2, 2);
  if (withKey && !arranged)
    throw CliError("the plug-in does not accept 4 inputs and 2 outputs, so it cannot take a key signal");
  // Start, stop and start again: stopping settles every parameter glide at
  // its target, so the render begins at the chosen setting instead of
  // gliding there from the plug-in's start-up values.
  plugin.resume();
  plugin.suspend();
  plugin.resume();
}

std::string summaryLine(const std::string& what, const RenderResult& r) {
  const double rate = r.sampleRate > 0 ? r.sampleRate : 1;
  const double audio = static_cast<double>(r.inputFrames + r.tailFrames) / rate;
  char text[512];
  std::snprintf(text, sizeof text, "%s: %.2f s + %.2f s tail%s at %d Hz | in peak %s, RMS %s | out peak %s, RMS %s | %.0fx real time",
                what.c_str(), r.inputFrames / rate, r.tailFrames / rate, r.tailCapped ? " (capped)" : "", r.sampleRate,
                formatDb(r.inputPeak).c_str(), formatDb(r.inputRms).c_str(), formatDb(r.outputPeak).c_str(),
                formatDb(r.outputRms).c_str(), r.seconds > 0 ? audio / r.seconds : 0.0);
  return text;
}

}  // namespace cli
