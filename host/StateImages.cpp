#include "host/StateImages.h"

#include <bit>
#include <cstring>

namespace host::tavrel {
namespace {

using state::kChunkVersion;

size_t recordOffset(int program) { return kChunkRecords + static_cast<size_t>(program) * kRecordSize; }

// Why `file` cannot be applied to `chunk` as a whole image of kind `type`;
// empty when it can, with `layout` telling how to read it.
std::string refusal(const std::vector<uint8_t>& chunk, const std::vector<uint8_t>& file, uint8_t type,
                    const std::string& kind, state::ImageLayout& layout) {
  if (!isChunk(chunk)) return "the plug-in's state is not a Tavrel chunk";
  if (file.size() < state::kImageBodyAt) return "too short to be a Tavrel " + kind + " file";
  switch (state::recogniseImage(file.data(), kPluginId, type, true, false, layout)) {
    case state::ImageCheck::UnknownId: return "not a Tavrel " + kind + " file (unknown ID)";
    case state::ImageCheck::OtherKind: return "not a Tavrel " + kind + " file (it holds another kind of data)";
    case state::ImageCheck::Recognised: break;
  }
  const auto expected = static_cast<size_t>(state::imageSize(type, layout));
  // A truncated file would load zeros into the missing values: refuse it.
  if (file.size() < expected)
    return "truncated " + kind + " file (" + std::to_string(file.size()) + " of " + std::to_string(expected) +
           " bytes)";
  return {};
}

void writeProgram(std::vector<uint8_t>& chunk, int program, const state::ProgramRecord& record) {
  std::memcpy(chunk.data() + recordOffset(program), record.name, kNameSize);
  for (int i = 0; i < kParams; ++i)
    writeWord(chunk, recordOffset(program) + kNameSize + 4 * static_cast<size_t>(i),
              std::bit_cast<uint32_t>(record.values[i].get()));
}

}  // namespace

uint32_t readWord(const std::vector<uint8_t>& bytes, size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < 4) return 0;
  return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
         (static_cast<uint32_t>(bytes[offset + 2]) << 16) | (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

void writeWord(std::vector<uint8_t>& bytes, size_t offset, uint32_t word) {
  if (offset > bytes.size() || bytes.size() - offset < 4) return;
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(word >> (8 * i));
}

bool isChunk(const std::vector<uint8_t>& chunk) {
  return chunk.size() == kChunkSize && readWord(chunk, state::kChunkVersionAt) == kChunkVersion &&
         readWord(chunk, state::kChunkIdAt) == kPluginId &&
         readWord(chunk, state::kChunkCountAt) == static_cast<uint32_t>(kPrograms);
}

int currentProgram(const std::vector<uint8_t>& chunk) { return static_cast<int32_t>(readWord(chunk, state::kChunkCurrentAt)); }

void setCurrentProgram(std::vector<uint8_t>& chunk, int program) {
  writeWord(chunk, state::kChunkCurrentAt, static_cast<uint32_t>(program));
}

std::string programName(const std::vector<uint8_t>& chunk, int program) {
  if (program < 0 || program >= kPrograms || chunk.size() < kChunkSize) return {};
  const char* name = reinterpret_cast<const char*>(chunk.data() + recordOffset(program));
  return std::string(name, strnlen(name, kNameSize));
}

float programValue(const std::vector<uint8_t>& chunk, int program, int parameter) {
  return std::bit_cast<float>(readWord(chunk, recordOffset(program) + kNameSize + 4 * static_cast<size_t>(parameter)));
}

std::string applyPreset(std::vector<uint8_t>& chunk, const std::vector<uint8_t>& file) {
  state::ImageLayout layout;
  if (std::string why = refusal(chunk, file, state::kPresetType, "preset", layout); !why.empty()) return why;
  const int program = currentProgram(chunk);
  if (program < 0 || program >= kPrograms) return "the plug-in reports no valid current program";
  state::ProgramRecord record{};
  state::decodePresetImage(file.data(), layout, record);
  writeProgram(chunk, program, record);
  return {};
}

std::string applyBank(std::vector<uint8_t>& chunk, const std::vector<uint8_t>& file) {
  state::ImageLayout layout;
  if (std::string why = refusal(chunk, file, state::kBankType, "bank", layout); !why.empty()) return why;
  std::vector<state::ProgramRecord> programs(kPrograms);
  state::decodeBankImage(file.data(), layout, programs.data());
  for (int k = 0; k < kPrograms; ++k) writeProgram(chunk, k, programs[k]);
  setCurrentProgram(chunk, 0);
  return {};
}

std::string applyMidiSettings(std::vector<uint8_t>& chunk, const std::vector<uint8_t>& file) {
  state::ImageLayout layout;
  if (std::string why = refusal(chunk, file, state::kMidiType, "MIDI settings", layout); !why.empty()) return why;
  float assignments[kParams];
  const int count = state::decodeMidiImage(file.data(), layout, assignments);
  for (int i = 0; i < count; ++i)
    writeWord(chunk, kChunkAssignments + 4 * static_cast<size_t>(i), std::bit_cast<uint32_t>(assignments[i]));
  return {};
}

}  // namespace host::tavrel
