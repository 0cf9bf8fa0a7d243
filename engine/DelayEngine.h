// The delay engine: tables, buffers and the per-sample chain from the input
// gain to the output. Plain C++ with no platform calls; the caller (the
// effect) holds the processing lock around every lifecycle and process call.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "engine/AntiAlias.h"
#include "engine/ChannelMap.h"
#include "engine/DelayLine.h"
#include "engine/Dynamics.h"
#include "engine/Filter.h"
#include "engine/History.h"
#include "engine/Modulation.h"
#include "engine/PeakMemory.h"
#include "engine/Relaxed.h"
#include "engine/Reverb.h"
#include "engine/Smoothing.h"
#include "engine/Tables.h"
#include "engine/WorkingValues.h"

namespace engine {

// What the host's transport said for this block.
struct BlockTiming {
  bool songPositionValid = false;  // a position from a playing transport
  double ppqPos = 0.0;              // quarter notes
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
  // After an allocation failed inside the two setters: the buffers may not
  // fit the rate and block size any more, so the next calls rebuild them all
  // whatever rate and size they bring. Until then nothing may process.
  void forgetSetUp() {
    sampleRate_ = -1.0;
    blockSize_ = -1;
  }
  void suspend();
  void clear();
  void placeHeads();
  void configureReverb();  // applies values().rvbType: tap lengths, band-pass, decay
  void clearReverb();      // empties the reverb's lines

  void setChannelMap(const ChannelMap& map) { channelMap_ = map; }
  const ChannelMap& channelMap() const { return channelMap_; }

  // One host block (under the processing lock). Identical arithmetic for both
  // sample types.
  void process(float** inputs, float** outputs, int frames, const BlockTiming& timing);
  void process(double** inputs, double** outputs, int frames, const BlockTiming& timing);

  // Input peaks since the last read, for the editor's meters; resets them.
  // The peak memory runs only while somebody reads it: half a second without
  // a read (an editor closed, a host that shows no meters) stops it, and the
  // next read starts it afresh, empty, from the next block on.
  void readInputPeaks(float& left, float& right);
  bool metering() const { return metering_; }

  // Inspection, for the meters, the readouts and the tests.
  const DelayLine& delayLine(int side) const { return lines_[side]; }
  int gateLookaheadLength() const { return lookahead_.length(); }
  int driveWindow() const { return drive_.window(); }
  int peakMemoryLength() const { return peaks_.length(); }
  double smoothed(int which) const { return smooth_[which]; }
  double smoothingCoefficient() const { return smooth_.coefficient(); }
  double fadeFactor() const { return fadeFactor_; }
  const AntiAlias& antiAlias() const { return antiAlias_; }
  const Modulation& modulation() const { return modulation_; }
  const Filter& filter() const { return filter_; }
  const Reverb& reverb() const { return reverb_; }
  const Tables& tables() const { return tables_; }

 private:
  // Values read once per block without smoothing. A non-finite write keeps
  // the value of the previous block.
  struct Direct {
    double fbSign[2] = {1.0, 1.0};
    double wetSign[2] = {1.0, 1.0};
    Pair fbSigns = {1.0, 1.0}, wetSigns = {1.0, 1.0};  // the same, a side per lane
    double clockManual = 0.0;
    double duckThreshold = 1.0;
    double duckAttack = 0.0, duckRelease = 0.0;
    double gateAttack = 0.0, gateRelease = 0.0;
    double driveNormalised = 0.0;
    double reverbAmount = 0.5;
    bool filterOn = false, clockOn = false, reverbOn = false, dryThroughReverb = false, bypass = false;
    int filterMode = 0, filterType = 0;
  };

  template <typename Sample>
  void processBlock(Sample** inputs, Sample** outputs, int frames, const BlockTiming& timing);
  void readDirectValues();
  // The variable clock's speeds for a clock depth, the manual speed and the
  // modulation signals.
  void followClock(double depth, double manualSpeed, double modL, double modR);
  // The control positions (0..1, 1x at 0.5) the speeds are looked up at.
  static Pair clockPosition(double depth, double manualSpeed, Pair mod) {
    const double manual = (1.0 - std::fabs(depth)) * manualSpeed;
    return (mod * depth + manual + 1.0) * 0.5;
  }
  // A run's speeds from the modulation signals that `speed` holds on entry,
  // with the clock depth of each sample (`glides` while the values glide,
  // else `depth`) and the manual speed, and their periods; true when every
  // speed is exactly 1x; `someUnit` tells whether any sample's speeds are.
  bool followClock(Pair* speed, Pair* period, int n, double depth,
                   const std::array<double, kSmoothedCount>* glides, double manualSpeed, bool& someUnit);
  void applyRateDependentValues();
  void placeHeads(int side);
  // Starts the peak memory at a read and stops it after half a second without one.
  void followMeterReads(int frames);
  bool headsInPlace(int side) const;  // the side's times put its heads where they stand

  WorkingValues values_;
  ChannelMap channelMap_;
  double sampleRate_ = 44100.0;
  int integerRate_ = 44100;
  int blockSize_ = 1024;

  const Tables& tables_ = Tables::shared();
  Smoother smooth_;
  Direct direct_;
  Modulation modulation_{tables_};
  Filter filter_{tables_};
  Reverb reverb_;
  AntiAlias antiAlias_;
  Drive drive_;
  DelayLine lines_[2];
  Gates gates_;
  GateLookahead lookahead_;
  Ducker ducker_;
  PeakMemory peaks_;
  Relaxed<bool> peaksRead_{false};  // set by each read, taken by the next block
  bool metering_ = true;            // the peak memory runs
  long unreadFrames_ = 0;           // frames processed since the last read

  double fadeFactor_ = 1.0;       // per-sample fall of a time-change fade: -60 dB in 100 ms
  Pair taps_ = {0.0, 0.0};        // feedback taps of the previous sample
  VariableClock clock_;           // the lines' variable clock
  VariableClock::Writes written_;  // the muted inputs written at the write heads and the values
                                   // added at the feedback heads, a line per lane
  Pair lastDriven_ = {0.0, 0.0};  // the block's last drive-stage output
  Pair lastOut_ = {0.0, 0.0};     // the block's last output, before the host's sample type
  Pair clockPosition_ = {NAN, NAN};    // variable clock: the last control positions
  Pair clockSpeed_ = {1.0, 1.0};       // and the speeds looked up for them
  Pair clockPeriod_ = {1.0, 1.0};      // and their reciprocals

  // A block runs in runs of kRun samples, stage group by stage group: the
  // input side, the lines with their feedback loop and the stages behind
  // them, the reverb and the output, each over the whole run. What one
  // group hands the next waits here.
  static constexpr int kRun = 64;
  struct Run {
    std::array<double, kSmoothedCount> smoothed[kRun];  // the glides of each sample, while they move
    Pair dry[kRun];                    // after the input gain
    Pair muted[kRun];                  // into the lines
    Pair speed[kRun], period[kRun];    // the variable clock's speeds (first the modulation signals)
                                       // and their reciprocals
    bool unitClock = true;             // and whether they stay at exactly 1x
    bool someUnit = true;              // or are both exactly 1x at any sample
    Pair fed[kRun];                    // the feedback added to the lines
    Pair reads[kRun];                  // the lines' reads at 1x
    Filter::Coefficients filter[kRun];  // for the filter behind the lines
    Pair sweep[kRun];                  // and the modulation signals that sweep it
    double duck[kRun];                 // the ducking gain
    Pair dryAfter[kRun];               // the dry part added behind the reverb
    Pair reverbIn[kRun];               // the wet mix into the reverb, then the reverb's output
  };
  Run run_;
};

}  // namespace engine
