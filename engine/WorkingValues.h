// The working values the delay engine reads: every parameter's normalised
// value turned into the unit the engine uses (gain factor, Hz, ms, step
// index, sign). The parameter application writes them from any thread; the
// audio thread reads them once per sample or block. Index [0] is the left
// side, [1] the right side.
#pragma once

#include "engine/Relaxed.h"

namespace engine {

enum Side { kLeft = 0, kRight = 1 };

struct WorkingValues {
  // Levels (smoothed by the engine)
  Relaxed<double> inputGain{1.0};   // Input: 4 v^2
  Relaxed<double> outputGain{1.0};  // Output: 4 v^2
  Relaxed<double> mix{0.5};         // Mix: wet share
  Relaxed<double> muteGain[2]{1.0, 1.0};  // MuteInL/R: 0 when v > 0.5

  // Feedback crossfeed
  Relaxed<double> fbGain[2]{0.0, 0.0};
  Relaxed<double> fbPan[2]{0.0, 1.0};
  Relaxed<double> fbSign[2]{1.0, 1.0};  // FbInvL/R: -1 when on

  // Wet path
  Relaxed<double> dlySign[2]{1.0, 1.0};  // DlyInvL/R
  Relaxed<double> dlyPan[2]{0.0, 1.0};
  Relaxed<double> gateThreshold[2]{0.0, 0.0};  // DlyGateL/R: v^2
  Relaxed<double> duckThreshold{1.0};          // Ducking: 10^(1.5 v - 1.5)

  // Drive
  Relaxed<double> driveGain{1.0};        // Drive: 2^(4 v), the level-detection factor
  Relaxed<double> driveNormalised{0.0};  // Drive's normalised value: drive acts when above 0

  // Envelope speed and the coefficients derived from it and the sample rate
  Relaxed<double> envSpeed{0.5};      // EnvSpeed normalised
  Relaxed<double> envSpeedMs{550.0};  // 900 v + 100
  Relaxed<double> envCoef{0.0};       // modulation envelope follower
  Relaxed<double> duckAttack{0.0};    // 10 ms
  Relaxed<double> duckRelease{0.0};   // 3000 v ms, 30 ms below v = 0.01
  Relaxed<double> gateAttack{0.0};    // 1 ms, set only at construction and rate changes
  Relaxed<double> gateRelease{0.0};   // 1000 v ms, 30 ms below v = 0.03

  // Modulation
  Relaxed<int> lfoWave{0};             // 0 sine, 1 square, 2 triangle, 3 saw, 4 random
  Relaxed<int> lfoMode{1};             // 0 free, 1 tempo, 2 tempo locked to song position
  Relaxed<int> lfoNumIndex{0};         // into the LFO numerator list
  Relaxed<int> lfoDenIndex{0};         // into the denominator list
  Relaxed<double> lfoRate{3.0};        // Hz
  Relaxed<double> lfoIncrement{0.0};   // radians per sample
  Relaxed<double> lrOffset{0.0};       // radians, (v - 0.5) pi
  Relaxed<double> modSrc{0.5};         // 0 LFO .. 1 envelope
  Relaxed<double> modSens{4.0};        // 2^(4 v)
  Relaxed<double> cutfModDepth{0.0};   // 2 (v - 0.5)
  Relaxed<double> resoModDepth{0.0};   // 2 (v - 0.5)
  Relaxed<double> vcoMan{0.0};         // 2 (v - 0.5)
  Relaxed<double> vcoModDepth{0.0};    // 2 (v - 0.5)
  Relaxed<int> vcoOn{1};

  // Filter
  Relaxed<int> fltOn{0};
  Relaxed<int> fltMode{0};  // 0 in, 1 fb, 2 fx
  Relaxed<int> fltType{0};  // 0 low-pass, 1 band-pass, 2 high-pass
  Relaxed<double> cutoffHz{16000.0};
  Relaxed<double> reso{0.05};  // at least 0.05, single precision

  // Delay times
  Relaxed<int> syncOn[2]{1, 1};        // DlyModeL/R: 1 note, 0 time
  Relaxed<int> dlyNumIndex[2]{0, 0};   // into the delay numerator list
  Relaxed<int> dlyDenIndex[2]{3, 3};   // into the denominator list
  Relaxed<int> rangeIndex[2]{2, 2};    // into the range list
  Relaxed<double> rangeMs[2]{5000.0, 5000.0};
  Relaxed<double> delayTimeMs[2]{2000.0, 2000.0};
  Relaxed<int> preNumIndex[2]{0, 0};   // into the pre-delay numerator list
  Relaxed<int> preDenIndex[2]{1, 1};   // into the denominator list
  Relaxed<bool> delayTimeChanged[2]{false, false};  // set on any time change; cleared when the heads move

  // Reverb
  Relaxed<int> rvbOn{0};
  Relaxed<int> rvbMode{0};  // 0 wet only ("fx"), 1 dry through the reverb too ("out")
  Relaxed<int> rvbType{0};  // 0 spring, 1 plate
  Relaxed<double> rvbDamp{0.0};   // RvbDamp normalised; the reverb derives its decay from it
  Relaxed<double> rvbAmount{0.5};

  Relaxed<int> bypass{0};

  // Tempo, BPM within 30..400; the manual tempo t gives 30 + 370 t.
  Relaxed<double> tempo{120.0};
  Relaxed<double> manualTempo{90.0 / 370.0};
  Relaxed<bool> hostTime{false};  // the host reported a tempo in the last block
};

}  // namespace engine
