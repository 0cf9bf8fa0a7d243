// 32-bit words of the chunk and file images. Images hold their numbers in
// the byte order of the machine that wrote them; a reader that finds the
// byte-reversed plug-in ID reverses every number (never the names).
#pragma once

#include <cstdint>
#include <cstring>

namespace state {

// A four-character ID as the images store it: the first character in the
// most significant byte.
constexpr int32_t fourCharId(char a, char b, char c, char d) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
                              static_cast<uint32_t>(static_cast<unsigned char>(d)));
}

constexpr uint32_t reverseBytes(uint32_t w) {
  return (w >> 24) | ((w >> 8) & 0x0000ff00u) | ((w << 8) & 0x00ff0000u) | (w << 24);
}

// Unaligned access: records start at odd offsets in the file images (5, 29).
inline uint32_t readWord(const uint8_t* at) {
  uint32_t w;
  std::memcpy(&w, at, sizeof w);
  return w;
}

inline void writeWord(uint8_t* at, uint32_t w) { std::memcpy(at, &w, sizeof w); }

inline float readFloat(const uint8_t* at, bool reversed) {
  uint32_t w = readWord(at);
  if (reversed) w = reverseBytes(w);
  float f;
  std::memcpy(&f, &w, sizeof f);
  return f;
}

inline void writeFloat(uint8_t* at, float f) { std::memcpy(at, &f, sizeof f); }

inline void reverseWordInPlace(uint8_t* at) { writeWord(at, reverseBytes(readWord(at))); }

}  // namespace state
