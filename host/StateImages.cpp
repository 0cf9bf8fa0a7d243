#include "host/StateImages.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace host::tavrel {
namespace {

constexpr uint32_t kChunkVersion = 0x01000000u;
constexpr int kOldParams = 48;
constexpr uint8_t kPresetType = 0x21;
constexpr uint8_t kBankType = 0x37;
constexpr uint8_t kMidiType = 0x0B;

uint32_t swapWord(uint32_t w) {
  return (w >> 24) | ((w >> 8) & 0xff00u) | ((w << 8) & 0xff0000u) | (w << 24);
}

float wordToFloat(uint32_t w) {
  float f;
  std::memcpy(&f, &w, sizeof f);
  return f;
}

uint32_t floatToWord(float f) {
  uint32_t w;
  std::memcpy(&w, &f, sizeof w);
  return w;
}

// Step index and step centre of a stepped parameter.
int steps(float x, int n) { return std::min(static_cast<int>(std::floor(static_cast<float>(n * x))), n - 1); }
float stepValue(int a, int n) { return static_cast<float>((a + 0.5) / n); }

// How a file image is laid out, read from its ID word.
struct Layout {
  bool swapped = false;  // written on a machine of the other byte order
  bool old = false;      // the older 48-parameter layout
  int values() const { return old ? kOldParams : kParams; }
};

std::string recognise(const std::vector<uint8_t>& file, uint8_t type, size_t size, size_t oldSize,
                      const char* kind, Layout& layout) {
  if (file.size() < 5) return std::string("too short to be a Tavrel ") + kind + " file";
  const uint32_t id = readWord(file, 0);
  if (id == kPluginId || swapWord(id) == kPluginId) {
    layout.old = false;
    layout.swapped = id != kPluginId;
  } else if (id == kOldPluginId || swapWord(id) == kOldPluginId) {
    layout.old = true;
    layout.swapped = id != kOldPluginId;
  } else {
    return std::string("not a Tavrel ") + kind + " file (unknown ID)";
  }
  if (file[4] != type) return std::string("not a Tavrel ") + kind + " file (it holds another kind of data)";
  const size_t expected = layout.old ? oldSize : size;
  // A truncated file would load zeros into the missing values: refuse it.
  if (file.size() < expected)
    return std::string("truncated ") + kind + " file (" + std::to_string(file.size()) + " of " +
           std::to_string(expected) + " bytes)";
  return {};
}

float fileValue(const std::vector<uint8_t>& file, size_t offset, const Layout& layout) {
  uint32_t w = readWord(file, offset);
  return wordToFloat(layout.swapped ? swapWord(w) : w);
}

size_t recordOffset(int program) { return kChunkRecords + static_cast<size_t>(program) * kRecordSize; }

void setProgramValue(std::vector<uint8_t>& chunk, int program, int parameter, float value) {
  writeWord(chunk, recordOffset(program) + kNameSize + 4 * static_cast<size_t>(parameter), floatToWord(value));
}

// Brings a program loaded from an older 48-parameter image up to the
// current parameter set: the LFO mode gains its third state and the twelve
// newer parameters take their neutral values.
void convertOldProgram(std::vector<uint8_t>& chunk, int program) {
  const float oldLfoMode = programValue(chunk, program, 32);
  const float oldWave = programValue(chunk, program, 9);
  const float oldLfoDen = programValue(chunk, program, 34);
  setProgramValue(chunk, program, 32, steps(oldLfoMode, 2) == 1 ? stepValue(2, 3) : stepValue(0, 3));
  const float newer[12] = {0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, stepValue(1, 13), stepValue(1, 13),
                           0.0f, 0.0f};
  for (int i = 0; i < 12; ++i) setProgramValue(chunk, program, 48 + i, newer[i]);
  if (steps(oldWave, 5) == 4) {
    setProgramValue(chunk, program, 32, stepValue(2, 3));
    int d = steps(oldLfoDen, 13);
    d = d == 0 ? 3 : std::min(d + 4, 12);
    setProgramValue(chunk, program, 34, stepValue(d, 13));
  }
}

void loadRecord(std::vector<uint8_t>& chunk, int program, const std::vector<uint8_t>& file, size_t offset,
                const Layout& layout) {
  std::memcpy(chunk.data() + recordOffset(program), file.data() + offset, kNameSize);
  for (int i = 0; i < layout.values(); ++i)
    setProgramValue(chunk, program, i, fileValue(file, offset + kNameSize + 4 * static_cast<size_t>(i), layout));
  if (layout.old) convertOldProgram(chunk, program);
}

}  // namespace

uint32_t readWord(const std::vector<uint8_t>& bytes, size_t offset) {
  if (offset + 4 > bytes.size()) return 0;
  return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
         (static_cast<uint32_t>(bytes[offset + 2]) << 16) | (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

void writeWord(std::vector<uint8_t>& bytes, size_t offset, uint32_t word) {
  if (offset + 4 > bytes.size()) return;
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(word >> (8 * i));
}

bool isChunk(const std::vector<uint8_t>& chunk) {
  return chunk.size() == kChunkSize && readWord(chunk, 0) == kChunkVersion && readWord(chunk, 4) == kPluginId &&
         readWord(chunk, 8) == static_cast<uint32_t>(kPrograms);
}

int currentProgram(const std::vector<uint8_t>& chunk) { return static_cast<int32_t>(readWord(chunk, 12)); }

void setCurrentProgram(std::vector<uint8_t>& chunk, int program) {
  writeWord(chunk, 12, static_cast<uint32_t>(program));
}

std::string programName(const std::vector<uint8_t>& chunk, int program) {
  if (program < 0 || program >= kPrograms || chunk.size() < kChunkSize) return {};
  const char* name = reinterpret_cast<const char*>(chunk.data() + recordOffset(program));
  return std::string(name, strnlen(name, kNameSize));
}

float programValue(const std::vector<uint8_t>& chunk, int program, int parameter) {
  return wordToFloat(readWord(chunk, recordOffset(program) + kNameSize + 4 * static_cast<size_t>(parameter)));
}

std::string applyPreset(std::vector<uint8_t>& chunk, const std::vector<uint8_t>& file) {
  if (!isChunk(chunk)) return "the plug-in's state is not a Tavrel chunk";
  Layout layout;
  std::string why = recognise(file, kPresetType, kPresetSize, 5 + kNameSize + 4 * kOldParams, "preset", layout);
  if (!why.empty()) return why;
  const int program = currentProgram(chunk);
  if (program < 0 || program >= kPrograms) return "the plug-in reports no valid current program";
  loadRecord(chunk, program, file, 5, layout);
  return {};
}

std::string applyBank(std::vector<uint8_t>& chunk, const std::vector<uint8_t>& file) {
  if (!isChunk(chunk)) return "the plug-in's state is not a Tavrel chunk";
  Layout layout;
  std::string why = recognise(file, kBankType, kBankSize, 5 + kPrograms * (kNameSize + 4 * kOldParams), "bank",
                              layout);
  if (!why.empty()) return why;
  const size_t record = kNameSize + 4 * static_cast<size_t>(layout.values());
  for (int k = 0; k < kPrograms; ++k) loadRecord(chunk, k, file, 5 + k * record, layout);
  setCurrentProgram(chunk, 0);
  return {};
}

std::string applyMidiSettings(std::vector<uint8_t>& chunk, const std::vector<uint8_t>& file) {
  if (!isChunk(chunk)) return "the plug-in's state is not a Tavrel chunk";
  Layout layout;
  std::string why = recognise(file, kMidiType, kMidiSize, 5 + 4 * kOldParams, "MIDI settings", layout);
  if (!why.empty()) return why;
  for (int i = 0; i < layout.values(); ++i)
    writeWord(chunk, kChunkAssignments + 4 * static_cast<size_t>(i),
              floatToWord(fileValue(file, 5 + 4 * static_cast<size_t>(i), layout)));
  return {};
}

}  // namespace host::tavrel
