// The tempo in BPM and the manual tempo, the normalised value the panel's
// display area sets when the host gives none: 0..1 spans 30..400 BPM.
#pragma once

namespace params {

constexpr double kSlowestTempo = 30.0;
constexpr double kFastestTempo = 400.0;

constexpr double tempoOfManual(double t) { return kSlowestTempo + (kFastestTempo - kSlowestTempo) * t; }
constexpr double manualOfTempo(double bpm) { return (bpm - kSlowestTempo) / (kFastestTempo - kSlowestTempo); }

}  // namespace params
