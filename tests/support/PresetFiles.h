// Helpers for the preset-system tests: control changes for an in-process
// effect, byte images on disk, the formulas of the hand-made corpus in
// tests/data (written by tests/data/make_corpus.py) and a scratch folder.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/PluginHost.h"
#include "shell/ZEL.h"

namespace testing_support {

using Bytes = std::vector<uint8_t>;

// Delivers MIDI messages to an effect made in this process, as a host would.
inline int sendMidi(ZEL& zel, const std::vector<host::MidiMessage>& messages) {
  std::vector<vst::VstMidiEvent> midi(messages.size());
  std::vector<vst::VstEvent*> pointers;
  for (size_t i = 0; i < messages.size(); ++i) {
    midi[i].type = vst::kVstMidiType;
    midi[i].byteSize = sizeof(vst::VstMidiEvent);
    for (int b = 0; b < 3; ++b) midi[i].midiData[b] = static_cast<char>(messages[i][b]);
    pointers.push_back(reinterpret_cast<vst::VstEvent*>(&midi[i]));
  }
  Bytes storage(offsetof(vst::VstEvents, events) + std::max<size_t>(2, pointers.size()) * sizeof(void*));
  auto* events = reinterpret_cast<vst::VstEvents*>(storage.data());
  events->numEvents = static_cast<int32_t>(pointers.size());
  std::memcpy(storage.data() + offsetof(vst::VstEvents, events), pointers.data(), pointers.size() * sizeof(void*));
  return zel.processEvents(events);
}

inline float assignmentFor(int controller) { return static_cast<float>((controller + 0.5) / 129); }
inline float noController() { return assignmentFor(128); }

inline Bytes readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void writeBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

inline std::string corpus(const char* name) { return std::string(TAVREL_TEST_DATA) + "/" + name; }

// The formulas behind the corpus.
inline float corpusPresetValue(int i) { return static_cast<float>((i + 1) / 64.0); }
inline float corpusBankValue(int program, int i) { return static_cast<float>(((7 * program + i) % 64) / 64.0); }
inline int corpusController(int param) { return param % 3 == 0 ? param + 10 : 128; }

inline uint32_t reversed(uint32_t w) { return __builtin_bswap32(w); }
inline float reversedFloat(float f) {
  uint32_t w;
  std::memcpy(&w, &f, 4);
  w = reversed(w);
  std::memcpy(&f, &w, 4);
  return f;
}
inline uint32_t wordAt(const Bytes& b, size_t at) {
  uint32_t w;
  std::memcpy(&w, b.data() + at, 4);
  return w;
}
inline void setWordAt(Bytes& b, size_t at, uint32_t w) { std::memcpy(b.data() + at, &w, 4); }

// A fresh folder under the system's temporary folder, removed afterwards.
struct ScratchFolder {
  std::string path;
  ScratchFolder() {
    char pattern[] = "/tmp/tavrel-presets-XXXXXX";
    path = ::mkdtemp(pattern);
    path += '/';
  }
  ~ScratchFolder() { std::filesystem::remove_all(path); }
  std::string operator/(const std::string& name) const { return path + name; }
  size_t entries() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(path), {}));
  }
};

}  // namespace testing_support
