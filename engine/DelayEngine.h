// The delay engine: tables, buffers and the per-sample chain from the input
// gain to the output. Plain C++ with no platform calls; the caller (the
// effect) holds the processing lock around every lifecycle and process call.
#pragma once

#include <cstdint>

#include "engine/ChannelMap.h"
#include "engine/WorkingValues.h"

namespace engine {

// What the host's transport said for this block.
struct BlockTiming {
  bool songPositionValid = false;
  double ppqPos = 0.0;  // quarter notes
};

class DelayEngine {
 public:
  DelayEngine();  // tables and buffers for 44100 Hz and 1024-sample blocks
  ~DelayEngine();
  DelayEngine(const DelayEngine&) = delete;
  DelayEngine& operator=(const DelayEngine&) = delete;

  WorkingValues& values() { return values_; }
  const WorkingValues& values() const { return values_; }

  double sampleRate() const { return sampleRate_; }
  int blockSize() const { return blockSize_; }

  // Lifecycle (under the processing lock).
  void setSampleRate(double hz);  // rates outside 4096..200000 Hz run as 44100
  void setBlockSize(int frames);  // sizes outside 1..44100 run as 1024
  void suspend();
  void clear();
  void placeHeads();
  void configureReverb();  // applies values().rvbType: tap lengths, band-pass, decay

  void setChannelMap(const ChannelMap& map) { channelMap_ = map; }
  const ChannelMap& channelMap() const { return channelMap_; }

  // One host block (under the processing lock). Identical arithmetic for both
  // sample types.
  void process(float** inputs, float** outputs, int frames, const BlockTiming& timing);
  void process(double** inputs, double** outputs, int frames, const BlockTiming& timing);

  // Input peaks since the last read, for the editor's meters; resets them.
  void readInputPeaks(float& left, float& right);

 private:
  template <typename Sample>
  void processBlock(Sample** inputs, Sample** outputs, int frames, const BlockTiming& timing);

  WorkingValues values_;
  ChannelMap channelMap_;
  double sampleRate_ = 44100.0;
  int blockSize_ = 1024;
};

}  // namespace engine
