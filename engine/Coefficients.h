// Coefficients that depend on a parameter and the sample rate. Both the
// parameter application and the engine's rate change compute them, from here.
#pragma once

#include <cmath>

namespace engine {

constexpr double kTwoPi = 6.283185307179586;

// One-pole smoothing coefficient for a time constant of tauMs milliseconds.
inline double onePole(double tauMs, double sampleRate) { return 1.0 - std::exp(-1000.0 / (tauMs * sampleRate)); }

// Modulation envelope follower for an envelope time of envMs milliseconds:
// a one-pole whose corner lies at 1000 / envMs Hz.
inline double envelopeCoefficient(double envMs, double sampleRate) {
  return 1.0 - std::exp(-6283.185307179586 / (envMs * sampleRate));
}

inline double duckAttackCoefficient(double sampleRate) { return onePole(10.0, sampleRate); }
inline double duckReleaseCoefficient(double envSpeed, double sampleRate) {
  return onePole(envSpeed < 0.01 ? 30.0 : 3000.0 * envSpeed, sampleRate);
}
inline double gateAttackCoefficient(double sampleRate) { return onePole(1.0, sampleRate); }
inline double gateReleaseCoefficient(double envSpeed, double sampleRate) {
  return onePole(envSpeed < 0.03 ? 30.0 : 1000.0 * envSpeed, sampleRate);
}

inline double lfoIncrement(double rateHz, double sampleRate) { return rateHz * kTwoPi / sampleRate; }

}  // namespace engine
