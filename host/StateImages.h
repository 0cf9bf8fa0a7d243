// Tavrel's host chunk and its preset (.zel), bank (.zbk) and MIDI-settings
// (.zmd) file images, as a host sees them: a host that wants to select a
// program or load a file without opening the editor edits the chunk the
// plug-in gave it and hands it back through effSetChunk. The images are
// decoded by the plug-in's own image format code (state/ImageFormat.h);
// the plug-in itself is reached only through the chunk.

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/ChunkLayout.h"
#include "state/ImageFormat.h"

namespace host::tavrel {

constexpr int kPrograms = state::kNumPrograms;
constexpr int kParams = params::kNumParams;
constexpr size_t kNameSize = state::kNameSize;
constexpr size_t kRecordSize = sizeof(state::ProgramRecord);  // 264
constexpr size_t kChunkSize = state::kChunkSize;
constexpr size_t kChunkRecords = state::kChunkRecordsAt;
constexpr size_t kChunkAssignments = state::kChunkAssignmentsAt;
constexpr size_t kPresetSize = state::kPresetImageSize;
constexpr size_t kBankSize = state::kBankImageSize;
constexpr size_t kMidiSize = state::kMidiImageSize;

constexpr uint32_t kPluginId = static_cast<uint32_t>(state::kPluginId);
// The older 48-parameter images carry 'Rdlq'.
constexpr uint32_t kOldPluginId = static_cast<uint32_t>(state::kOlderPluginId);

uint32_t readWord(const std::vector<uint8_t>& bytes, size_t offset);
void writeWord(std::vector<uint8_t>& bytes, size_t offset, uint32_t word);

// True when the bytes have the size, ID and program count of a Tavrel chunk.
bool isChunk(const std::vector<uint8_t>& chunk);
int currentProgram(const std::vector<uint8_t>& chunk);
void setCurrentProgram(std::vector<uint8_t>& chunk, int program);
std::string programName(const std::vector<uint8_t>& chunk, int program);
float programValue(const std::vector<uint8_t>& chunk, int program, int parameter);

// Each apply function edits a Tavrel chunk as the plug-in's own file loader
// would change its state, accepting images of either byte order and the
// older 48-parameter images. It returns an empty string on success, or
// why the file was refused (the chunk is then unchanged).
//  - preset: name and values replace the current program;
//  - bank: all 61 programs are replaced and program 0 becomes current;
//  - MIDI settings: the controller assignments are replaced.
std::string applyPreset(std::vector<uint8_t>& chunk, const std::vector<uint8_t>& file);
std::string applyBank(std::vector<uint8_t>& chunk, const std::vector<uint8_t>& file);
std::string applyMidiSettings(std::vector<uint8_t>& chunk, const std::vector<uint8_t>& file);

}  // namespace host::tavrel
