#include "engine/DelayEngine.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <type_traits>

#include <emmintrin.h>

#include "engine/Coefficients.h"
#include "engine/FloatMode.h"
#include "engine/NoteValues.h"

namespace engine {

namespace {

constexpr double kDefaultRate = 44100.0;
constexpr int kDefaultBlockSize = 1024;

// A host sample that is not a finite number (NaN or an infinity) is taken as
// silence. Passed on, it would be written into the delay lines and the
// reverb, and every later sample that reads them would be NaN too: the effect
// would stay silent until the host reloads it. Two samples at once; x - x is
// zero exactly for the finite ones.
template <typename Sample>
inline Pair hostSamples(Sample left, Sample right) {
  const Pair x = {static_cast<double>(left), static_cast<double>(right)};
  return select(x - x == Pair{}, x, Pair{});
}

// Tails die away through the subnormal range, where many hosts' own
// processing slows to a crawl: the float outputs hand them exact zeros
// instead.
inline float flushSubnormal(float x) { return std::fabs(x) < FLT_MIN ? 0.0f : x; }

// One output sample to two channels of their own: as clearing the right,
// writing the left and adding the right gives it (0 + x is x, but for a zero's
// sign, and the flush turns every zero into +0), both converted and flushed
// at once.
inline void writeApart(Pair y, float& left, float& right) {
  const __m128 x = _mm_cvtpd_ps(y);
  const __m128 magnitude = _mm_and_ps(x, _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF)));
  const __m128 kept = _mm_and_ps(x, _mm_cmpnlt_ps(magnitude, _mm_set1_ps(FLT_MIN)));
  left = _mm_cvtss_f32(kept);
  right = _mm_cvtss_f32(_mm_shuffle_ps(kept, kept, 1));
}
inline void writeApart(Pair y, double& left, double& right) {
  left = y[0];
  right = 0.0 + y[1];
}

inline double finiteOr(double value, double fallback) { return std::isfinite(value) ? value : fallback; }

// Whole samples of a time in ms, held to 0..limit (NaN counts as 0).
inline long samplesOf(double ms, double sampleRate, long limit) {
  const double x = ms * sampleRate / 1000.0;
  if (!(x > 0.0)) return 0;
  if (x >= static_cast<double>(limit)) return limit;
  return static_cast<long>(x);
}

// A head that a time puts within this many samples of where it stands stays
// there. A tempo that jitters by a hair around a whole-sample time (an
// external clock) would otherwise flip the heads between two neighbouring
// samples, and every flip fades the echoes out and in.
constexpr double kHeadTolerance = 0.05;

inline bool samePlace(double ms, double sampleRate, long wanted, long placed) {
  return wanted == placed || std::fabs(ms * sampleRate / 1000.0 - static_cast<double>(placed)) < kHeadTolerance;
}

// What the feedback loop may carry. Up to full scale it passes untouched, so
// every setting at normal levels sounds exactly as designed, infinite repeats
// included; above it the level bends smoothly (slope 1 at the knee) toward a
// ceiling of twice full scale (+6 dBFS). A loop whose gain exceeds 1
// somewhere (a resonant filter inside it) then settles at a loud but bounded
// level instead of growing without end.
constexpr double kLoopKnee = 1.0;
constexpr double kLoopCeiling = 2.0;

inline double loopLimit(double x) {
  const double a = std::fabs(x);
  if (a <= kLoopKnee) return x;
  const double room = kLoopCeiling - kLoopKnee;
  const double y = kLoopKnee + room * std::tanh((a - kLoopKnee) / room);
  return x < 0.0 ? -y : y;
}

// Both loops at once; the bend only where a lane passes the knee.
inline Pair loopLimit(Pair x) {
  if (both(magnitude(x) <= kLoopKnee)) return x;
  return Pair{loopLimit(x[0]), loopLimit(x[1])};
}

}  // namespace

DelayEngine::DelayEngine() {
  applyRateDependentValues();
  lookahead_.allocate(integerRate_ / 1000);
  for (DelayLine& line : lines_) line.allocate(integerRate_ * 10 + 1);
  peaks_.allocate(blockSize_);
  reverb_.allocate(sampleRate_);
  configureReverb();
  placeHeads();
  smooth_.snap(values_, sampleRate_);
  readDirectValues();
  clear();
}

DelayEngine::~DelayEngine() = default;

void DelayEngine::applyRateDependentValues() {
  const double sr = sampleRate_;
  smooth_.setSampleRate(sr);
  modulation_.setSampleRate(sr);
  filter_.setSampleRate(sr);
  fadeFactor_ = std::pow(0.001, 10.0 / sr);
  antiAlias_.setCoefficients(14000.0, sr);
  drive_.setSampleRate(integerRate_);

  const double envSpeed = values_.envSpeed;
  values_.envCoef = envelopeCoefficient(values_.envSpeedMs, sr);
  values_.duckAttack = duckAttackCoefficient(sr);
  values_.duckRelease = duckReleaseCoefficient(envSpeed, sr);
  values_.gateAttack = gateAttackCoefficient(sr);
  values_.gateRelease = gateReleaseCoefficient(envSpeed, sr);
  values_.lfoIncrement = lfoIncrement(values_.lfoRate, sr);
}

void DelayEngine::setSampleRate(double hz) {
  if (!(hz >= 4096.0 && hz <= 200000.0)) hz = kDefaultRate;
  if (hz == sampleRate_) return;
  sampleRate_ = hz;
  integerRate_ = static_cast<int>(hz);
  applyRateDependentValues();
  lookahead_.allocate(static_cast<int>(hz / 1000.0));
  reverb_.allocate(hz);
  configureReverb();
  for (DelayLine& line : lines_) line.allocate(integerRate_ * 10 + 1);
  placeHeads();
  values_.delayTimeChanged[kLeft] = false;
  values_.delayTimeChanged[kRight] = false;
}

void DelayEngine::setBlockSize(int frames) {
  if (frames < 1 || frames > 44100) frames = kDefaultBlockSize;
  if (frames == blockSize_) return;
  blockSize_ = frames;
  peaks_.allocate(frames);
}

void DelayEngine::suspend() {
  smooth_.snap(values_, sampleRate_);
  values_.delayTimeChanged[kLeft] = false;
  values_.delayTimeChanged[kRight] = false;
  lookahead_.resetIndex();
  modulation_.suspend();
  for (DelayLine& line : lines_) line.resetFade();
  placeHeads();
  clear();
}

void DelayEngine::clear() {
  for (DelayLine& line : lines_) line.clear();
  lookahead_.clear();
  drive_.clear();
  peaks_.clear();
  reverb_.clear();
  filter_.clear();
  modulation_.clear();
  gates_.envelope = Pair{};
  ducker_.envelope = 0.0;
  antiAlias_.clear();
  taps_ = Pair{};
  lastDriven_ = Pair{};
  lastOut_ = Pair{};
  written_.clear();
  clock_.clear();
}

void DelayEngine::placeHeads() {
  placeHeads(kLeft);
  placeHeads(kRight);
}

void DelayEngine::placeHeads(int side) {
  const double delayMs = values_.delayTimeMs[side];
  const double preMs = preDelayMs(values_.preNumIndex[side], values_.preDenIndex[side], delayMs);
  const long limit = lines_[side].length() - 1;
  lines_[side].placeHeads(samplesOf(delayMs, sampleRate_, limit), samplesOf(preMs, sampleRate_, limit));
}

bool DelayEngine::headsInPlace(int side) const {
  const DelayLine& line = lines_[side];
  const double delayMs = values_.delayTimeMs[side];
  const double preMs = preDelayMs(values_.preNumIndex[side], values_.preDenIndex[side], delayMs);
  const long limit = line.length() - 1;
  long delay = samplesOf(delayMs, sampleRate_, limit);
  long pre = samplesOf(preMs, sampleRate_, limit);
  line.holdSpans(delay, pre);
  return samePlace(delayMs, sampleRate_, delay, line.placedDelay()) &&
         samePlace(preMs, sampleRate_, pre, line.placedPreDelay());
}

void DelayEngine::configureReverb() { reverb_.configure(values_.rvbType, sampleRate_); }

void DelayEngine::clearReverb() { reverb_.clear(); }

void DelayEngine::readInputPeaks(float& left, float& right) {
  peaks_.read(left, right);
  peaksRead_ = true;
}

void DelayEngine::followMeterReads(int frames) {
  if (peaksRead_) {
    peaksRead_ = false;
    unreadFrames_ = 0;
    if (!metering_) {
      peaks_.clear();
      metering_ = true;
    }
  } else if (metering_) {
    unreadFrames_ += frames;
    if (unreadFrames_ > integerRate_ / 2) metering_ = false;
  }
}

void DelayEngine::readDirectValues() {
  const WorkingValues& v = values_;
  Direct& d = direct_;
  for (int c = 0; c < 2; ++c) {
    d.fbSign[c] = finiteOr(v.fbSign[c], d.fbSign[c]);
    d.wetSign[c] = finiteOr(v.dlySign[c], d.wetSign[c]);
  }
  d.fbSigns = Pair{d.fbSign[0], d.fbSign[1]};
  d.wetSigns = Pair{d.wetSign[0], d.wetSign[1]};
  d.clockManual = finiteOr(v.vcoMan, d.clockManual);
  d.duckThreshold = finiteOr(v.duckThreshold, d.duckThreshold);
  d.duckAttack = finiteOr(v.duckAttack, d.duckAttack);
  d.duckRelease = finiteOr(v.duckRelease, d.duckRelease);
  d.gateAttack = finiteOr(v.gateAttack, d.gateAttack);
  d.gateRelease = finiteOr(v.gateRelease, d.gateRelease);
  d.driveNormalised = finiteOr(v.driveNormalised, d.driveNormalised);
  d.reverbAmount = finiteOr(v.rvbAmount, d.reverbAmount);
  d.filterOn = v.fltOn != 0;
  d.filterMode = v.fltMode;
  d.filterType = v.fltType;
  d.clockOn = v.vcoOn != 0;
  d.reverbOn = v.rvbOn != 0;
  d.dryThroughReverb = v.rvbMode != 0;
  d.bypass = v.bypass != 0;
}

void DelayEngine::process(float** inputs, float** outputs, int frames, const BlockTiming& timing) {
  const BlockFloatMode mode;
  processBlock(inputs, outputs, frames, timing);
}
void DelayEngine::process(double** inputs, double** outputs, int frames, const BlockTiming& timing) {
  const BlockFloatMode mode;
  processBlock(inputs, outputs, frames, timing);
}

void DelayEngine::followClock(double depth, double manualSpeed, double modL, double modR) {
  // The speeds follow from the control positions alone: looked up only when
  // a position moved.
  const Pair position = clockPosition(depth, manualSpeed, Pair{modL, modR});
  if (position[0] != clockPosition_[0] || position[1] != clockPosition_[1]) {
    clockPosition_ = position;
    clockSpeed_ = tables_.exponentialAt(position);
    clockPeriod_ = 1.0 / clockSpeed_;
  }
}

bool DelayEngine::followClock(Pair* speed, Pair* period, int n, double depth,
                              const std::array<double, kSmoothedCount>* glides, double manualSpeed,
                              bool& someUnit) {
  // In a loop of their own the positions, look-ups and divisions of the run
  // overlap, instead of each waiting in the input side's chain; as above, a
  // speed is looked up only when its position moved (a square wave or a slow
  // sine holds it for many samples).
  Pair position = clockPosition_, s = clockSpeed_, p = clockPeriod_;
  PairMask unit = {-1, -1};
  int unitSamples = 0;
  for (int j = 0; j < n; ++j) {
    const Pair x = clockPosition(glides ? glides[j][kClockModDepth] : depth, manualSpeed, speed[j]);
    if (either(x != position)) {
      position = x;
      s = tables_.exponentialAt(x);
      p = 1.0 / s;
    }
    speed[j] = s;
    period[j] = p;
    unit &= s == 1.0;
    unitSamples += both(s == 1.0);
  }
  someUnit = unitSamples > 0;
  clockPosition_ = position;
  clockSpeed_ = s;
  clockPeriod_ = p;
  return unit[0] && unit[1];
}

template <typename Sample>
void DelayEngine::processBlock(Sample** inputs, Sample** outputs, int frames, const BlockTiming& timing) {
  // Once per block. A state that has turned non-finite (it cannot, with held
  // parameter values, but it must never stay so) would keep the effect silent
  // for good: start afresh instead.
  if (!std::isfinite(taps_[0] + taps_[1] + lastOut_[0] + lastOut_[1])) clear();
  drive_.beginBlock();
  followMeterReads(frames);
  readDirectValues();
  smooth_.readTargets(values_, sampleRate_);
  reverb_.setDamping(values_.rvbDamp);
  const Direct d = direct_;
  const double dryBeforeReverb = d.dryThroughReverb ? 1.0 : 0.0;
  const double dryAfterReverb = d.dryThroughReverb ? 0.0 : 1.0;
  const Sample* inL = inputs[channelMap_.mainL];
  const Sample* inR = inputs[channelMap_.mainR];
  const Sample* keyL = inputs[channelMap_.keyL];
  const Sample* keyR = inputs[channelMap_.keyR];
  Sample* outL = outputs[channelMap_.outL];
  Sample* outR = outputs[channelMap_.outR];
  modulation_.beginBlock(values_, timing.songPositionValid, timing.ppqPos);
  if (smooth_[kCutoff] > 0.5 * sampleRate_) smooth_.current(kCutoff) = 0.5 * sampleRate_;

  const bool outputFilter = d.filterOn && d.filterMode != 0;
  const bool filteredFeedback = outputFilter && d.filterMode == 1;
  // Glides that have come to rest stay there for the whole block.
  const bool glide = !smooth_.atRest();
  // The modulation signals matter only where a depth other than 0 reads them
  // (a depth of 0 leaves the clock and the filter exactly where the signals
  // would). Unread, the LFO and the envelopes only coast for this block.
  const bool clockModulated = d.clockOn && !smooth_.zeroThroughout(kClockModDepth);
  const bool filterModulated =
      d.filterOn && !(smooth_.zeroThroughout(kCutoffModDepth) && smooth_.zeroThroughout(kResoModDepth));
  const bool modulated = clockModulated || filterModulated;
  double modL = modulation_.modL(), modR = modulation_.modR();

  const bool reverbOn = d.reverbOn && reverb_.ready();
  // Without modulation the clock's control positions hold for the whole
  // block (a depth of 0 leaves the signals out): its speeds are looked up once.
  const bool clockHeld = d.clockOn && !clockModulated;
  if (clockHeld) followClock(smooth_[kClockModDepth], d.clockManual, modL, modR);
  // Likewise the filter's coefficients, while no glide and no sweep moves them
  // (depths of 0 hold the sweep where the signals would put it, whatever
  // they do: the cut-off unmoved, the resonance as set). A glide of other
  // values (the mix, a gain) leaves the filter's own where they stand.
  const bool filterKnobsRest = !glide || (smooth_.restsAt(kCutoff) && smooth_.restsAt(kResonance) &&
                                          smooth_.restsAt(kResoModDepth) && smooth_.restsAt(kCutoffModDepth));
  const bool filterHeld = d.filterOn && filterKnobsRest && !filterModulated;
  if (filterHeld) filter_.computeCoefficients(smooth_[kCutoff], smooth_[kResonance], smooth_[kResoModDepth]);
  // Behind the lines, where nothing the filter puts out reaches the
  // modulation signals, a sweep with its knobs at rest takes the coefficients
  // of a whole run at once, from the signals the input side leaves.
  const bool sweptByRun = outputFilter && filterModulated && filterKnobsRest;
  Run& run = run_;
  for (int start = 0; start < frames; start += kRun) {
    const int n = std::min(kRun, frames - start);
    run.unitClock = !clockHeld || (clockSpeed_[0] == 1.0 && clockSpeed_[1] == 1.0);

    // The input side: everything in front of the lines, which nothing behind
    // them feeds back into. Everything from the host is read before anything
    // is written, so a host that processes in place gets the same result.
    // Both channels of a stage go through it side by side (left in the first
    // lane), each with the arithmetic of its own. The ducking's follower runs
    // as a local: no store into the run can reach it, so its recursion stays
    // in a register instead of going through memory every sample. The loop
    // comes in two versions, with the modulation signals formed or only
    // coasting, so that neither carries the other's registers.
    Ducker ducker = ducker_;
    auto inputSide = [&](auto formed) {
      // Where the signals are formed, the LFO and the envelopes run as a
      // local too, put back behind the loop: their glides and phase then
      // recur in registers, not through stores and loads that the run's
      // stores might reach. The coasting version works on the member as
      // before (the local goes unused there): with the copy, program 0 in
      // double precision timed slower.
      Modulation modulation = modulation_;
      for (int j = 0; j < n; ++j) {
        const int i = start + j;
        // Glides: every smoothed value one step toward its target; the stages
        // behind the lines read the values of this sample from the run.
        if (glide) {
          smooth_.advance();
          run.smoothed[j] = smooth_.values();
        }
        const Pair main = hostSamples(inL[i], inR[i]);
        const Pair key = magnitude(hostSamples(keyL[i], keyR[i]));
        const double keyLevel = std::max(key[0], key[1]);

        // Input gain and the dry copy (the meters take it after the loop).
        Pair x = main * smooth_[kInputGain];
        run.dry[j] = x;

        // Filter coefficients (kept for the filter behind the lines), and the
        // filter in front of the lines.
        if (d.filterOn) {
          if (!filterHeld && !sweptByRun) {
            filter_.computeCoefficients(smooth_[kCutoff], smooth_[kResonance], smooth_[kResoModDepth]);
            run.filter[j] = filter_.coefficients();
          }
          if (d.filterMode == 0) x = filter_.process(x, d.filterType);
        }

        // Anti-alias cascade in front of the variable clock.
        if (d.clockOn) x = antiAlias_.process(x);
        const Pair envIn = magnitude(x);

        // Drive: the window follows the level even while the drive is off.
        if (d.driveNormalised > 0.0) {
          drive_.feed(x, smooth_[kDriveFactor]);
          x *= drive_.gain();
        } else {
          drive_.keep(x, smooth_[kDriveFactor]);
        }

        // Modulation signals; the filter takes its sweep for the next sample
        // (while it is off or unmodulated, only the block's last sweep is kept,
        // below).
        if constexpr (decltype(formed)::value) {
          modulation.tick(smooth_[kModSource], envIn[0], envIn[1], modL, modR);
          if (sweptByRun)
            run.sweep[j] = Pair{modL, modR};
          else if (filterModulated)
            filter_.updateModulation(modL, modR, smooth_[kCutoffModDepth]);
        } else {
          modulation_.coast(envIn[0], envIn[1]);
        }
        run.muted[j] = smooth_.pair(kMuteL) * x;
        lastDriven_ = x;

        // The modulation signals that move the variable clock; its control
        // positions and speeds follow behind this loop.
        if (d.clockOn && !clockHeld) run.speed[j] = Pair{modL, modR};

        // Ducking by the key.
        run.duck[j] = ducker.gain(keyLevel, d.duckThreshold, d.duckAttack, d.duckRelease);
      }
      if constexpr (decltype(formed)::value) modulation_ = modulation;
    };
    if (modulated)
      inputSide(std::true_type{});
    else
      inputSide(std::false_type{});
    ducker_ = ducker;

    if (d.clockOn && !clockHeld)
      run.unitClock = followClock(run.speed, run.period, n, smooth_[kClockModDepth], glide ? run.smoothed : nullptr,
                                  d.clockManual, run.someUnit);
    else
      run.someUnit = both(clockSpeed_ == 1.0);
    if (metering_) peaks_.push(run.dry, n);
    if (sweptByRun)
      filter_.sweepRun(run.sweep, n, smooth_[kCutoff], smooth_[kResonance], smooth_[kResoModDepth],
                       smooth_[kCutoffModDepth], run.filter);

    // The lines and the feedback loop, sample by sample. On a steady clock
    // (the fixed one, or the variable one at exactly 1x with its ticks on the
    // samples) every tick lands on a stored value: the lines' histories of
    // writes and reads, which the variable clock interpolates between once
    // it moves, are brought up to date from the run afterwards.
    const bool unitClock = d.clockOn && run.unitClock && clock_.speed()[0] == 1.0 && clock_.speed()[1] == 1.0 &&
                           clock_.phase()[0] == 0.0 && clock_.phase()[1] == 0.0;
    const bool steady = !d.clockOn || unitClock;
    Gates gates = gates_;
    // Gates whose thresholds rest below the switch-off level pass everything
    // (a gain of exactly 1) for the whole run; their followers still run.
    const bool gatesOpen = !(smooth_[kGateThresholdL] >= Gates::kOff) && !(smooth_[kGateThresholdR] >= Gates::kOff) &&
                           (!glide || (smooth_.restsAt(kGateThresholdL) && smooth_.restsAt(kGateThresholdR)));
    // Time changes are looked for sample by sample only while one is pending
    // or a fade is under way; otherwise the next run looks again.
    const bool fading = values_.delayTimeChanged[0] || values_.delayTimeChanged[1] ||
                        lines_[0].fadeGain() != 1.0 || lines_[1].fadeGain() != 1.0;
    // At 1x a tick writes the last sample's input and feedback and reads
    // the value two ticks back.
    Pair lastIn = written_.input.h[3], lastFed = written_.feedback.h[3];
    Pair readOneBack = clock_.reads().h[3];
    Pair readTwoBack = clock_.reads().h[2];
    for (int j = 0; j < n; ++j) {
      const double* s = glide ? run.smoothed[j].data() : smooth_.values().data();
      // Feedback crossfeed from the previous sample's taps.
      double toL, toR;
      feedbackMatrix(taps_[0], taps_[1], s[kFbGainL], s[kFbGainR], s[kFbPanL], s[kFbPanR], toL, toR);
      const Pair muted = run.muted[j];
      run.fed[j] = Pair{toL, toR};

      Pair delayed;
      if (!d.clockOn) {
        delayed = Pair{lines_[0].stepFixed(muted[0], toL), lines_[1].stepFixed(muted[1], toR)};
      } else if (unitClock) {
        const Pair read = {lines_[0].stepFixed(lastIn[0], lastFed[0]), lines_[1].stepFixed(lastIn[1], lastFed[1])};
        lastIn = muted;
        lastFed = Pair{toL, toR};
        run.reads[j] = read;
        delayed = readTwoBack;
        readTwoBack = readOneBack;
        readOneBack = read;
      } else {
        written_.push(muted, Pair{toL, toR});
        delayed = clock_.step(lines_[0], lines_[1], clockHeld ? clockSpeed_ : run.speed[j],
                              clockHeld ? clockPeriod_ : run.period[j], written_, run.someUnit);
      }

      // Time changes: fade out, move the heads at -60 dB, fade back in. A
      // change that leaves the heads where they stand (a host re-sending the
      // same value, a tempo moving by less than a sample) is no change: the
      // echoes play on, and a fade already on its way out turns back.
      for (int c = 0; c < 2 && fading; ++c) {
        bool changed = values_.delayTimeChanged[c];
        if (changed && headsInPlace(c)) {
          values_.delayTimeChanged[c] = false;
          changed = false;
        }
        if (lines_[c].fade(changed, fadeFactor_)) {
          // Clear the mark before reading the times: a change written meanwhile
          // sets it again and gets its own fade.
          values_.delayTimeChanged[c] = false;
          placeHeads(c);
        }
      }
      if (fading) delayed *= Pair{lines_[0].fadeGain(), lines_[1].fadeGain()};

      // Filter behind the lines, and the feedback taps.
      Pair o = delayed;
      if (outputFilter) o = filter_.process(delayed, d.filterType, filterHeld ? filter_.coefficients() : run.filter[j]);
      taps_ = loopLimit(d.fbSigns * (filteredFeedback ? o : delayed));

      // Behind the loop, here for its recursions to overlap the loop's: gate
      // gains from the delayed signal, ahead of the look-ahead line.
      const Pair gateEnvelope = gates.follow(delayed, d.gateAttack, d.gateRelease);

      // Look-ahead, then the gate and the wet inversion.
      lookahead_.exchange(o);
      Pair w = o * d.wetSigns;
      if (!gatesOpen) {
        const Pair gate = Gates::gain(gateEnvelope, Pair{s[kGateThresholdL], s[kGateThresholdR]});
        w = gate * gate * o * d.wetSigns;
      }

      // Wet pans and mix; the dry part added behind the reverb waits for
      // the output.
      const double m = s[kMix];
      const double toRight = s[kWetPanL] * w[0] + s[kWetPanR] * w[1];
      const Pair dry = run.dry[j];
      run.reverbIn[j] = m * Pair{w[0] + w[1] - toRight, toRight} + (1.0 - m) * dry * dryBeforeReverb;
      run.dryAfter[j] = dry * dryAfterReverb * (1.0 - m);
    }
    gates_ = gates;
    if (steady) {
      for (int j = std::max(0, n - 4); j < n; ++j) {
        written_.push(run.muted[j], run.fed[j]);
        if (unitClock) clock_.pushRead(run.reads[j]);
      }
    }


    // Reverb, over the whole run: nothing inside the loop depends on it.
    if (reverbOn) {
      for (int j = 0; j < n; ++j) run.reverbIn[j] += 1e-15;
      reverb_.process(run.reverbIn, run.reverbIn, n, d.reverbAmount);
    }

    // Ducking, the dry part behind the reverb, output gain; bypass passes
    // the main input unscaled. Right cleared, left written, right added: with
    // both outputs on one channel it receives the sum. Two outputs of their
    // own (the common case) take their samples directly, with the same bits.
    Pair y = lastOut_;
    for (int j = 0; j < n; ++j) {
      const int i = start + j;
      const double* s = glide ? run.smoothed[j].data() : smooth_.values().data();
      y = (run.dryAfter[j] + run.duck[j] * run.reverbIn[j]) * s[kOutputGain];
      if (d.bypass) y = hostSamples(inL[i], inR[i]);
      if (outL != outR) {
        writeApart(y, outL[i], outR[i]);
        continue;
      }
      outR[i] = 0;
      outL[i] = static_cast<Sample>(y[0]);
      outR[i] += static_cast<Sample>(y[1]);
      if constexpr (std::is_same_v<Sample, float>) {
        outL[i] = flushSubnormal(outL[i]);
        outR[i] = flushSubnormal(outR[i]);
      }
    }
    lastOut_ = y;
  }

  // The signals of the block's last sample, as if they had been formed every
  // sample; and the sweep the filter finds when it is switched on or its
  // depths turned up: the one of the last sample, as if it had been taken
  // every sample.
  if (!modulated && frames > 0) {
    modulation_.finishCoasting(smooth_[kModSource]);
    modL = modulation_.modL();
    modR = modulation_.modR();
  }
  if (!filterModulated && frames > 0) filter_.updateModulation(modL, modR, smooth_[kCutoffModDepth]);

  // With the clock off the cascade rests at the last input level, so
  // switching the clock on starts without a step.
  if (!d.clockOn) {
    antiAlias_.preset(0, lastDriven_[0]);
    antiAlias_.preset(1, lastDriven_[1]);
  }
}

template void DelayEngine::processBlock<float>(float**, float**, int, const BlockTiming&);
template void DelayEngine::processBlock<double>(double**, double**, int, const BlockTiming&);

}  // namespace engine
