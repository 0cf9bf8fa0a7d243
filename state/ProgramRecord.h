// One program: a 24-byte name and the normalised values of the 60 parameters.
// The unit of the program store, of host chunks and of bank files. The audio
// thread (MIDI, automation) and the user's thread (host, editor, chunks)
// write the values at once: each is a relaxed atomic, four bytes like the
// float it holds.
#pragma once

#include <cstring>

#include "engine/Relaxed.h"
#include "params/ParameterTable.h"

namespace state {

constexpr int kNumPrograms = 61;
constexpr int kNameSize = 24;

struct ProgramRecord {
  char name[kNameSize];
  engine::Relaxed<float> values[params::kNumParams];

  // A name shorter than the field is stored with its terminator and zero
  // padding; a longer one fills all 24 bytes and has no terminator.
  void setName(const char* text) {
    const size_t length = std::strlen(text);
    if (length < kNameSize) {
      std::memset(name, 0, kNameSize);
      std::memcpy(name, text, length + 1);
    } else {
      std::memcpy(name, text, kNameSize);
    }
  }
};

static_assert(sizeof(engine::Relaxed<float>) == sizeof(float), "a stored value is a plain float in size");
static_assert(sizeof(ProgramRecord) == 264, "a program record is 264 bytes");

}  // namespace state
