#include "engine/Reverb.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

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

// W consecutive samples of one signal side by side: a lone double, or a Pair
// whose lanes are samples i and i + 1 (lanes in time, not channels). Each
// lane rounds as the lone double does, so two samples at once give the bits
// of two passes of one.
template <int W>
struct Span;
template <>
struct Span<1> {
  using V = double;
  static V load(const double* p) { return *p; }
  static void store(double* p, V v) { *p = v; }
  static V sum(const Pair* x) { return (*x)[0] + (*x)[1]; }  // left + right
  static Pair channels(V left, V right, int) { return Pair{left, right}; }
};
template <>
struct Span<2> {
  using V = Pair;
  static V load(const double* p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
  }
  static void store(double* p, V v) { std::memcpy(p, &v, sizeof v); }
  static V sum(const Pair* x) {
    return __builtin_shufflevector(x[0], x[1], 0, 2) + __builtin_shufflevector(x[0], x[1], 1, 3);
  }
  // Sample k of the two as a Pair of the two channels.
  static Pair channels(V left, V right, int k) {
    return k == 0 ? __builtin_shufflevector(left, right, 0, 2) : __builtin_shufflevector(left, right, 1, 3);
  }
};

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

int Reverb::runWithoutWrap(const int* positions, int count) const {
  int room = mask_ + 1;
  for (int k = 0; k < count; ++k) room = std::min(room, mask_ + 1 - positions[k]);
  return room;
}

// The output band-pass and the mix, both channels at once, as the last step
// of every sample. The states live in locals for a run and are stored after.
struct Reverb::Output {
  Pair b0, b2, a1, a2, scale, amount;
  Pair x1, x2, y1, y2;
  Pair operator()(Pair x, Pair in) {
    const Pair y = b0 * x + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return in + (scale * y - in) * amount;
  }
};

namespace {

// The output band-pass one pair of samples behind the lines: a pair waits
// here while the next pair's lines run, so that the band-pass's recursion
// does not wait at the end of their long chain of arithmetic.
struct OnePairBehind {
  Pair held0 = {}, held1 = {};  // the waiting pair's channels

  // At samples i and i + 1: the pair before goes out through the band-pass,
  // this one waits.
  template <typename BandPass>
  void pass(BandPass& bandPass, const Pair* in, Pair* out, int i, Pair first, Pair second) {
    if (i > 0) flush(bandPass, in, out, i);
    held0 = first;
    held1 = second;
  }
  // The waiting pair (samples i - 2 and i - 1) goes out.
  template <typename BandPass>
  void flush(BandPass& bandPass, const Pair* in, Pair* out, int i) {
    out[i - 2] = bandPass(held0, in[i - 2]);
    out[i - 1] = bandPass(held1, in[i - 1]);
  }
};

}  // namespace

int Reverb::runSpring(const Pair* in, Pair* out, int frames, Output& output) {
  Output o = output;  // a local copy stays in registers: `out` could alias the caller's
  const double kd = decay_.kd, g2 = decay_.g2, g3 = decay_.g3, c = kDiffusion;
  const int m = mask_;
  const int wA = writeA_, wB = writeBC_;
  const int* L = length_;
  // Every read and write position of the run; the run ends before any of
  // them wraps, so inside it each is a plain pointer stepping one sample.
  const int positions[] = {wA, wB,
                           (wA - L[A0]) & m, (wA - L[A1]) & m, (wA - L[A2]) & m, (wA - L[A3]) & m,
                           (wA - L[A4]) & m, (wA - L[A5]) & m,
                           (wB - L[B0]) & m, (wB - L[B1]) & m, (wB - L[B2]) & m, (wB - L[B3]) & m,
                           (wB - L[B4]) & m, (wB - L[B5]) & m,
                           (wB - L[C0]) & m, (wB - L[C1]) & m, (wB - L[C2]) & m, (wB - L[C3]) & m};
  const int n = std::min(frames, runWithoutWrap(positions, 18));

  const double* rA[6];
  double* wAl[6];
  const double* rB[6];
  double* wBl[6];
  for (int k = 0; k < 6; ++k) {
    rA[k] = line(A0 + k) + positions[2 + k];
    wAl[k] = line(A0 + k) + wA;
    rB[k] = line(B0 + k) + positions[8 + k];
    wBl[k] = line(B0 + k) + wB;
  }
  const double* rA3AtA1 = line(A3) + positions[3];
  const double* rC[4];
  double* wC[4];
  for (int k = 0; k < 4; ++k) {
    rC[k] = line(C0 + k) + positions[14 + k];
    wC[k] = line(C0 + k) + wB;
  }

  Pair d02 = {d_[0], d_[2]};  // lines A0 and A2 damped side by side
  double d4 = d_[4];
  // Damped reads of lines A0, A2 and A4 for samples i and i + 1, each
  // line's two values side by side. The damping is a recursion, so it runs
  // sample by sample.
  Pair ahead0 = {}, ahead2 = {}, ahead4 = {}, kept02 = {};
  double kept4 = 0.0;
  OnePairBehind behind;
  const auto dampTwo = [&](int i) {
    const Pair r0 = Span<2>::load(rA[0] + i), r2 = Span<2>::load(rA[2] + i);
    const Pair first = d02 + (__builtin_shufflevector(r0, r2, 0, 2) - d02) * kd;
    d02 = first + (__builtin_shufflevector(r0, r2, 1, 3) - first) * kd;
    ahead0 = __builtin_shufflevector(first, d02, 0, 2);
    ahead2 = __builtin_shufflevector(first, d02, 1, 3);
    const double d4First = d4 + (rA[4][i] - d4) * kd;
    d4 = d4First + (rA[4][i + 1] - d4First) * kd;
    ahead4 = Pair{d4First, d4};
  };
  // W samples from i on, each signal's W values side by side.
  const auto step = [&](auto width, int i) {
    constexpr int W = decltype(width)::value;
    using S = Span<W>;
    using V = typename S::V;
    // Damped reads of the six feedback lines; the odd ones pass undamped.
    // The damping is a recursion, so it runs sample by sample.
    V d0, d2, d4s;
    if constexpr (W == 2) {
      d0 = ahead0;
      d2 = ahead2;
      d4s = ahead4;
      // The damping of the next two samples runs here, ahead of the rest of
      // these two, so that their long chain of arithmetic does not start
      // behind a recursion. Past the run's end it reads the next samples
      // (or the spare ones behind the line): the states after the run's
      // last sample are kept aside.
      kept02 = d02;
      kept4 = d4;
      dampTwo(i + 2);
    } else {
      d02 = d02 + (Pair{rA[0][i], rA[2][i]} - d02) * kd;
      d0 = d02[0];
      d2 = d02[1];
      d4s = d4 = d4 + (rA[4][i] - d4) * kd;
    }
    const V d[6] = {d0, S::load(rA[1] + i), d2, S::load(rA[3] + i), d4s, S::load(rA[5] + i)};
    const V a3AtA1 = S::load(rA3AtA1 + i);

    // All-pass diffusers, all read before any is written.
    V e[6];
    for (int k = 0; k < 6; ++k) e[k] = S::load(rB[k] + i) - c * d[k];
    for (int k = 0; k < 6; ++k) S::store(wBl[k] + i, c * e[k] + d[k]);

    const V s = S::sum(in + i);
    const V a1w = g2 * e[1] + e[0];
    const V a3w = g2 * e[3] * 0.975 + e[2];
    const V a5w = g2 * e[5] * 0.95 + e[4];
    S::store(wAl[0] + i, (e[1] * g3 + e[0]) * g2 + s);
    S::store(wAl[1] + i, a1w);
    S::store(wAl[2] + i, (e[3] * g3 + e[2]) * g2 * 0.975 + s);
    S::store(wAl[3] + i, a3w);
    S::store(wAl[4] + i, (e[5] * g3 + e[4]) * g2 * 0.95 + s);
    S::store(wAl[5] + i, a5w);

    const V sL = a3AtA1 + a1w + a5w;
    const V sR = d[1] + a3w + a5w;

    // Two output all-passes per channel.
    const V yL1 = S::load(rC[0] + i) - c * sL;
    S::store(wC[0] + i, sL + c * yL1);
    const V yL2 = S::load(rC[2] + i) - c * yL1;
    S::store(wC[2] + i, yL1 + c * yL2);
    const V yR1 = S::load(rC[1] + i) - c * sR;
    S::store(wC[1] + i, sR + c * yR1);
    const V yR2 = S::load(rC[3] + i) - c * yR1;
    S::store(wC[3] + i, yR1 + c * yR2);
    if constexpr (W == 2) {
      behind.pass(o, in, out, i, S::channels(yL2, yR2, 0), S::channels(yL2, yR2, 1));
    } else {
      out[i] = o(S::channels(yL2, yR2, 0), in[i]);
    }
  };
  // Two samples at a time read nothing the first of them writes as long as
  // every line is at least two samples long; the damping two samples ahead
  // wants the lines it reads four samples long.
  int i = 0;
  if (n >= 2 && *std::min_element(L, L + kLines) >= 4) {
    dampTwo(0);
    for (; i + 2 <= n; i += 2) step(std::integral_constant<int, 2>{}, i);
    behind.flush(o, in, out, i);
    d02 = kept02;
    d4 = kept4;
  }
  for (; i < n; ++i) step(std::integral_constant<int, 1>{}, i);

  d_[0] = d02[0];
  d_[2] = d02[1];
  d_[4] = d4;
  if (n > 0) {
    d_[1] = rA[1][n - 1];
    d_[3] = rA[3][n - 1];
    d_[5] = rA[5][n - 1];
  }
  writeA_ = (wA + n) & m;
  writeBC_ = (wB + n) & m;
  output = o;
  return n;
}

int Reverb::runPlate(const Pair* in, Pair* out, int frames, Output& output) {
  Output o = output;  // a local copy stays in registers: `out` could alias the caller's
  const double kd = decay_.kd, a = 0.7 * decay_.g3, q = 0.7 * decay_.g2;
  const int m = mask_;
  const int w = writeBC_;
  const int* L = length_;
  const int positions[] = {w,
                           (w - L[C0]) & m, (w - L[C1]) & m, (w - L[C2]) & m, (w - L[C3]) & m,
                           (w - L[B0]) & m, (w - L[B1]) & m, (w - L[B2]) & m, (w - L[B3]) & m,
                           (w - L[B4]) & m, (w - L[B5]) & m};
  const int n = std::min(frames, runWithoutWrap(positions, 11));

  const double* rC[4];
  double* wC[4];
  for (int k = 0; k < 4; ++k) {
    rC[k] = line(C0 + k) + positions[1 + k];
    wC[k] = line(C0 + k) + w;
  }
  const double* rB[6];
  double* wB[6];
  for (int k = 0; k < 6; ++k) {
    rB[k] = line(B0 + k) + positions[5 + k];
    wB[k] = line(B0 + k) + w;
  }
  // The output taps read the B lines at the C lengths.
  const double* tapB3 = line(B3) + positions[3];
  const double* tapB0 = line(B0) + positions[1];
  const double* tapB1 = line(B1) + positions[2];
  const double* tapB2 = line(B2) + positions[4];

  // The tank's six damped reads two at a time: lines 2k and 2k+1 side by side.
  Pair d[3];
  for (int k = 0; k < 3; ++k) d[k] = Pair{d_[2 * k], d_[2 * k + 1]};
  OnePairBehind behind;
  // W samples from i on, each signal's W values side by side.
  const auto step = [&](auto width, int i) {
    constexpr int W = decltype(width)::value;
    using S = Span<W>;
    using V = typename S::V;
    // Input diffusion through four all-passes of alternating sign.
    const V s = S::sum(in + i);
    const V y1 = S::load(rC[0] + i) - a * s;
    S::store(wC[0] + i, s + a * y1);
    const V y2 = S::load(rC[1] + i) + a * y1;
    S::store(wC[1] + i, y1 - a * y2);
    const V y3 = S::load(rC[2] + i) - a * y2;
    S::store(wC[2] + i, y2 + a * y3);
    const V y4 = S::load(rC[3] + i) + a * y3;
    S::store(wC[3] + i, y3 - a * y4);

    // Tank: six damped lines, all read before any is written. The damping
    // is a recursion, so it runs sample by sample; even and odd hold line
    // 2k and 2k+1 over the W samples.
    V even[3], odd[3];
    for (int k = 0; k < 3; ++k) {
      if constexpr (W == 2) {
        const Pair r0 = S::load(rB[2 * k] + i), r1 = S::load(rB[2 * k + 1] + i);
        const Pair first = d[k] + (__builtin_shufflevector(r0, r1, 0, 2) - d[k]) * kd;
        d[k] = first + (__builtin_shufflevector(r0, r1, 1, 3) - first) * kd;
        even[k] = __builtin_shufflevector(first, d[k], 0, 2);
        odd[k] = __builtin_shufflevector(first, d[k], 1, 3);
      } else {
        d[k] = d[k] + (Pair{rB[2 * k][i], rB[2 * k + 1][i]} - d[k]) * kd;
        even[k] = d[k][0];
        odd[k] = d[k][1];
      }
    }
    const V tapL = S::load(tapB3 + i) + S::load(tapB0 + i);
    const V tapR = S::load(tapB1 + i) + S::load(tapB2 + i);
    // Even lines y4 - q (q y4 + d), odd ones y4 + q (d - q y4): the same
    // sums and products with the signs moved into the factors.
    const V qy = q * y4;
    V writtenEven, writtenOdd;
    for (int k = 0; k < 3; ++k) {
      writtenEven = (even[k] + qy) * -q + y4;
      writtenOdd = (odd[k] + -qy) * q + y4;
      S::store(wB[2 * k] + i, writtenEven);
      S::store(wB[2 * k + 1] + i, writtenOdd);
    }
    const V left = tapL + writtenEven, right = tapR + writtenOdd;
    if constexpr (W == 2) {
      behind.pass(o, in, out, i, S::channels(left, right, 0), S::channels(left, right, 1));
    } else {
      out[i] = o(S::channels(left, right, 0), in[i]);
    }
  };
  // Two samples at a time read nothing the first of them writes as long as
  // every line of the plate (groups B and C) is at least two samples long.
  int i = 0;
  if (n >= 2 && *std::min_element(L + B0, L + kLines) >= 2) {
    for (; i + 2 <= n; i += 2) step(std::integral_constant<int, 2>{}, i);
    behind.flush(o, in, out, i);
  }
  for (; i < n; ++i) step(std::integral_constant<int, 1>{}, i);

  for (int k = 0; k < 3; ++k) {
    d_[2 * k] = d[k][0];
    d_[2 * k + 1] = d[k][1];
  }
  writeA_ = (writeA_ + n) & m;
  writeBC_ = (w + n) & m;
  output = o;
  return n;
}

void Reverb::process(const Pair* in, Pair* out, int frames, double amount) {
  if (mask_ == 0) {
    for (int i = 0; i < frames; ++i) out[i] = in[i];
    return;
  }
  Output o = {Pair{b0_, b0_}, Pair{b2_, b2_}, Pair{a1_, a1_}, Pair{a2_, a2_},
              Pair{outputScale_, outputScale_}, Pair{amount, amount}, x1_, x2_, y1_, y2_};
  while (frames > 0) {
    const int n = type_ == kPlate ? runPlate(in, out, frames, o) : runSpring(in, out, frames, o);
    in += n;
    out += n;
    frames -= n;
  }
  x1_ = o.x1;
  x2_ = o.x2;
  y1_ = o.y1;
  y2_ = o.y2;
}

void Reverb::process(double iL, double iR, double amount, double& rL, double& rR) {
  const Pair in = {iL, iR};
  Pair r;
  process(&in, &r, 1, amount);
  rL = r[0];
  rR = r[1];
}

}  // namespace engine
