#include "engine/Reverb.h"

#include <algorithm>
#include <cmath>

namespace engine {

namespace {

// Line order: A0..A5, B0..B5, C0..C3.
enum { A0 = 0, A1, A2, A3, A4, A5, B0, B1, B2, B3, B4, B5, C0, C1, C2, C3 };

// Length constants; a line is s*C samples long (rounded up), s from the rate.
constexpr double kSpringLength[Reverb::kLines] = {
    16383.5, 16383.5,                                    // A0, A1
    39513.06570839413 / 2, 39513.06570839413 / 2,        // A2, A3
    47647.92275589291 / 2, 47647.92275589291 / 2,        // A4, A5
    515.4478875, 515.4478875, 427.4463375, 427.4463375,  // B0..B3
    389.250225, 389.250225,                              // B4, B5
    2606.01705, 2568.42495, 2129.11335, 2160.07155};     // C0..C3
constexpr double kPlateLength[Reverb::kLines] = {
    0, 0, 0, 0, 0, 0,  // the plate has no group A
    3182331.04 / 2, 2662541.5656 / 2, 3295698.3066 / 2, 2506079.1406 / 2, 3064032.3399 / 2, 2924267.9781 / 2,
    417287.745 * 0.75, 156341.1871 * 0.75, 304978.8525 * 0.75, 117807.1951 * 0.75};

constexpr double kDiffusion = 0.7071;

inline double guard(double x) { return x + 1e-30 - 1e-30; }

}  // namespace

Reverb::Decay Reverb::decayFor(int type, double damping) {
  // Outside 0..1 the damping one-pole's coefficient would pass 1 and the
  // lines would ring up without bound; a host may send such values.
  if (!(damping >= 0.0)) damping = 0.0;
  if (damping > 1.0) damping = 1.0;
  const double g = std::pow(0.5, 0.01 * std::pow(100.0, damping));
  Decay d;
  if (type == kPlate) {
    d.g1 = d.g2 = g;
    d.g3 = std::sqrt(std::sqrt(g));
    d.kd = 0.4 + 0.4 * (1.0 - damping);
  } else {
    d.g1 = std::sqrt(0.56) * g;
    d.g2 = 0.7 * d.g1;
    d.g3 = 0.30000000000000004 * d.g1;
    d.kd = 0.2 + 0.52 * (1.0 - damping);
  }
  return d;
}

int Reverb::maskFor(double sampleRate) {
  if (sampleRate < 50000.0) return 0x7FFF;
  if (sampleRate < 100000.0) return 0xFFFF;
  return 0x1FFFF;
}

void Reverb::allocate(double sampleRate) {
  const int mask = maskFor(sampleRate);
  if (mask != mask_ || buffer_.empty()) {
    std::vector<double>(static_cast<std::size_t>(kLines) * (mask + 1 + kStagger), 0.0).swap(buffer_);
    mask_ = mask;
  }
  configure(type_, sampleRate);  // lengths must fit the new lines before any sample runs
}

void Reverb::configure(int type, double sampleRate) {
  type_ = type == kPlate ? kPlate : kSpring;
  const bool plate = type_ == kPlate;
  const double scale = plate ? sampleRate * 44.1 * 5.0 / 1445024700.0 : sampleRate / 303187.5;
  const double* constants = plate ? kPlateLength : kSpringLength;
  const int mask = mask_ != 0 ? mask_ : maskFor(sampleRate);
  for (int i = 0; i < kLines; ++i) {
    // s*C rounded up, as the distance between the write position (at the
    // mask) and the read position trunc(mask - s*C).
    double lengthSamples = scale * constants[i];
    if (!(lengthSamples >= 0.0)) lengthSamples = 0.0;
    if (lengthSamples > mask - 1) lengthSamples = mask - 1;
    int length = mask - static_cast<int>(mask - lengthSamples);
    if (length < 1) length = 1;  // a read never meets this sample's write
    length_[i] = length;
  }
  writeA_ = writeBC_ = mask_;

  // Wide output band-pass: about 800 Hz for the spring, 2000 Hz for the plate.
  const float w = static_cast<float>((plate ? 12566.0 : 5026.4) / sampleRate);
  const double sn = static_cast<float>(std::sin(static_cast<double>(w)));
  const double cs = static_cast<float>(std::cos(static_cast<double>(w)));
  const double alpha = sn / (plate ? 0.12 : 0.2);
  b0_ = alpha / (1.0 + alpha);
  b2_ = -alpha / (1.0 + alpha);
  a1_ = -2.0 * cs / (1.0 + alpha);
  a2_ = (1.0 - alpha) / (1.0 + alpha);
  outputScale_ = plate ? 0.3 : 0.1625;

  decay_ = decayFor(type_, damping_);
}

void Reverb::setDamping(double damping) {
  if (damping == damping_ || !std::isfinite(damping)) return;  // NaN keeps the last good damping
  damping_ = damping;
  decay_ = decayFor(type_, damping_);
}

void Reverb::setDecay(const Decay& decay) { decay_ = decay; }

void Reverb::clear() {
  std::fill(buffer_.begin(), buffer_.end(), 0.0);
  for (double& d : d_) d = 0.0;
  x1_ = x2_ = y1_ = y2_ = Pair{};
}

void Reverb::processSpring(double iL, double iR, double& xL, double& xR) {
  const double kd = decay_.kd, g2 = decay_.g2, g3 = decay_.g3, c = kDiffusion;
  const int wA = writeA_, wB = writeBC_;
  const int* L = length_;

  // Damped reads of the six feedback lines; the odd ones pass undamped.
  d_[0] = guard(d_[0] + (read(A0, L[A0], wA) - d_[0]) * kd);
  d_[1] = read(A1, L[A1], wA);
  d_[2] = guard(d_[2] + (read(A2, L[A2], wA) - d_[2]) * kd);
  d_[3] = read(A3, L[A3], wA);
  d_[4] = guard(d_[4] + (read(A4, L[A4], wA) - d_[4]) * kd);
  d_[5] = read(A5, L[A5], wA);
  const double a3AtA1 = read(A3, L[A1], wA);

  // All-pass diffusers, all read before any is written.
  double e[6];
  for (int k = 0; k < 6; ++k) e[k] = read(B0 + k, L[B0 + k], wB) - c * d_[k];
  for (int k = 0; k < 6; ++k) line(B0 + k)[wB] = c * e[k] + d_[k];

  const double s = iL + iR;
  const double a1w = g2 * e[1] + e[0];
  const double a3w = g2 * e[3] * 0.975 + e[2];
  const double a5w = g2 * e[5] * 0.95 + e[4];
  line(A0)[wA] = (e[1] * g3 + e[0]) * g2 + s;
  line(A1)[wA] = a1w;
  line(A2)[wA] = (e[3] * g3 + e[2]) * g2 * 0.975 + s;
  line(A3)[wA] = a3w;
  line(A4)[wA] = (e[5] * g3 + e[4]) * g2 * 0.95 + s;
  line(A5)[wA] = a5w;

  const double sL = a3AtA1 + a1w + a5w;
  const double sR = d_[1] + a3w + a5w;

  // Two output all-passes per channel.
  const double yL1 = read(C0, L[C0], wB) - c * sL;
  line(C0)[wB] = sL + c * yL1;
  const double yL2 = read(C2, L[C2], wB) - c * yL1;
  line(C2)[wB] = yL1 + c * yL2;
  const double yR1 = read(C1, L[C1], wB) - c * sR;
  line(C1)[wB] = sR + c * yR1;
  const double yR2 = read(C3, L[C3], wB) - c * yR1;
  line(C3)[wB] = yR1 + c * yR2;
  xL = yL2;
  xR = yR2;
}

void Reverb::processPlate(double iL, double iR, double& xL, double& xR) {
  const double kd = decay_.kd, a = 0.7 * decay_.g3, q = 0.7 * decay_.g2;
  const int w = writeBC_;
  const int* L = length_;

  // Input diffusion through four all-passes of alternating sign.
  const double s = iL + iR;
  const double y1 = read(C0, L[C0], w) - a * s;
  line(C0)[w] = s + a * y1;
  const double y2 = read(C1, L[C1], w) + a * y1;
  line(C1)[w] = y1 - a * y2;
  const double y3 = read(C2, L[C2], w) - a * y2;
  line(C2)[w] = y2 + a * y3;
  const double y4 = read(C3, L[C3], w) + a * y3;
  line(C3)[w] = y3 - a * y4;

  // Tank: six damped lines, all read before any is written. The output taps
  // read the B lines at the C lengths.
  for (int k = 0; k < 6; ++k) d_[k] = guard(d_[k] + (read(B0 + k, L[B0 + k], w) - d_[k]) * kd);
  const double tapL = read(B3, L[C2], w) + read(B0, L[C0], w);
  const double tapR = read(B1, L[C1], w) + read(B2, L[C3], w);
  for (int k = 0; k < 6; k += 2) {
    line(B0 + k)[w] = y4 - q * (q * y4 + d_[k]);
    line(B1 + k)[w] = y4 + q * (d_[k + 1] - q * y4);
  }
  xL = tapL + line(B4)[w];
  xR = tapR + line(B5)[w];
}

void Reverb::process(double iL, double iR, double amount, double& rL, double& rR) {
  if (mask_ == 0) {
    rL = iL;
    rR = iR;
    return;
  }
  Pair x;
  if (type_ == kPlate)
    processPlate(iL, iR, x[0], x[1]);
  else
    processSpring(iL, iR, x[0], x[1]);

  // The output band-pass, both channels at once.
  const Pair y = b0_ * x + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
  x2_ = x1_;
  x1_ = x;
  y2_ = y1_;
  y1_ = (y + 1e-30) - 1e-30;
  const Pair in = {iL, iR};
  const Pair r = in + (outputScale_ * y - in) * amount;
  rL = r[0];
  rR = r[1];

  writeA_ = (writeA_ + 1) & mask_;
  writeBC_ = (writeBC_ + 1) & mask_;
}

}  // namespace engine
