// The last four values of a signal and the Catmull-Rom cubic through them,
// which the variable clock uses to write and read its lines between samples.
// A history of pairs keeps two signals (the input and the feedback of one
// line) side by side and interpolates both at once.
#pragma once

#include "engine/Pair.h"

namespace engine {

template <typename T>
struct History4Of {
  T h[4] = {};  // h[0] oldest .. h[3] newest

  void push(T x) {
    h[0] = h[1];
    h[1] = h[2];
    h[2] = h[3];
    h[3] = x;
  }
  void clear() { h[0] = h[1] = h[2] = h[3] = T{}; }
  // For a history of pairs: push in the lanes the mask sets, the others as they were.
  template <typename Mask>
  void pushWhere(Mask mask, T x) {
    h[0] = select(mask, h[1], h[0]);
    h[1] = select(mask, h[2], h[1]);
    h[2] = select(mask, h[3], h[2]);
    h[3] = select(mask, x, h[3]);
  }

  // The cubic's coefficients, formed once for several places on it.
  struct Cubic {
    T cubic, square, linear, constant;
    template <typename Q>
    T at(Q q) const {
      return 0.5 * (((cubic * q + square) * q + linear) * q + constant);
    }
  };
  Cubic cubic() const {
    const T h0 = h[0], h1 = h[1], h2 = h[2], h3 = h[3];
    return {3.0 * (h1 - h2) + h3 - h0, 2.0 * h0 - 5.0 * h1 + 4.0 * h2 - h3, h2 - h0, 2.0 * h1};
  }

  // The cubic's weight of each of the four values at a place q, formed once
  // where several histories are interpolated at the same place (the input
  // and the feedback a tick writes). The weights add up to 1: the last one
  // is what the others leave.
  template <typename Q>
  struct Weights {
    Q w0, w1, w2, w3;
  };
  template <typename Q>
  static Weights<Q> weightsAt(Q q) {
    const Q q2 = q * q, q3 = q2 * q;
    Weights<Q> w;
    w.w0 = q2 - 0.5 * (q3 + q);      // (-q^3 + 2q^2 - q) / 2
    w.w1 = 1.5 * q3 - 2.5 * q2 + 1.0;  // (3q^3 - 5q^2 + 2) / 2
    w.w3 = 0.5 * (q3 - q2);          // (q^3 - q^2) / 2
    w.w2 = 1.0 - (w.w0 + w.w1 + w.w3);
    return w;
  }
  template <typename Q>
  T at(const Weights<Q>& w) const {
    return w.w0 * h[0] + w.w1 * h[1] + w.w2 * h[2] + w.w3 * h[3];
  }

  // The cubic between h[1] (q = 0) and h[2] (q = 1), in Horner's form.
  template <typename Q>
  T catmullRom(Q q) const {
    return cubic().at(q);
  }
};

using History4 = History4Of<double>;
using History4Pair = History4Of<Pair>;

}  // namespace engine
