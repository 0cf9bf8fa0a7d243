// The preset, bank and MIDI-settings images, as files and registry values
// carry them.
//
//   preset, 269 bytes:   ID, type 0x21, 24-byte name, 60 floats
//   bank, 16109 bytes:   ID, type 0x37, 61 records (24-byte name, 60 floats)
//   MIDI, 245 bytes:     ID, type 0x0B, 60 controller assignment values
//
// The ID comes first, in the writer's byte order: a reader that finds it
// byte-reversed reverses every number. Images of the older 48-parameter
// build carry their own ID and 48 values in place of 60 (221, 13181 and 197
// bytes); they are read, never written.
#include <cstring>

#include "presets/ByteOrder.h"
#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"

namespace presets {

namespace {

constexpr int kIdAt = 0;
constexpr int kTypeAt = 4;
constexpr int kBodyAt = 5;

struct ImageFormat {
  int values = params::kNumParams;  // per program
  bool reversed = false;            // numbers in the other byte order
};

// Which layout and byte order an image has, from its ID and type byte. The
// user's endian-reversed request reverses the numbers once more, so a
// reversed image loaded with the request is taken as stored.
bool recogniseImage(const uint8_t* image, uint32_t ownId, uint8_t type, bool acceptOlder, bool reversedRequest,
                    ImageFormat& format) {
  const uint32_t id = readWord(image + kIdAt);
  const auto olderId = static_cast<uint32_t>(kOlderPluginId);
  if (id == ownId) {
    format = {params::kNumParams, false};
  } else if (id == reverseBytes(ownId)) {
    format = {params::kNumParams, true};
  } else if (acceptOlder && id == olderId) {
    format = {kOlderNumParams, false};
  } else if (acceptOlder && id == reverseBytes(olderId)) {
    format = {kOlderNumParams, true};
  } else {
    return false;
  }
  if (image[kTypeAt] != type) return false;
  format.reversed = format.reversed != reversedRequest;
  return true;
}

// Reads one program record of `format` at `at` into `record`; returns the
// number of bytes it took.
int readRecord(const uint8_t* at, const ImageFormat& format, ProgramRecord& record, float* older) {
  std::memcpy(record.name, at, kNameSize);
  for (int i = 0; i < format.values; ++i) {
    const float value = readFloat(at + kNameSize + 4 * i, format.reversed);
    record.values[i] = value;
    if (older) older[i] = value;
  }
  return kNameSize + 4 * format.values;
}

// A name field need not end in a zero: make a terminated copy.
void terminatedName(const ProgramRecord& record, char (&name)[kNameSize + 1]) {
  std::memcpy(name, record.name, kNameSize);
  name[kNameSize] = 0;
}

void writeHeader(uint8_t* image, int32_t id, uint8_t type) {
  writeWord(image + kIdAt, static_cast<uint32_t>(id));
  image[kTypeAt] = type;
}

void writeRecord(uint8_t* at, const ProgramRecord& record) {
  std::memcpy(at, record.name, kNameSize);
  for (int i = 0; i < params::kNumParams; ++i) writeFloat(at + kNameSize + 4 * i, record.values[i]);
}

}  // namespace

void CPresetSystemEditor::applyPresetImage(const uint8_t* buffer, bool reversed, OlderProgramConversion convert) {
  CPresetSystemEffect* effect = presetEffect();
  if (!buffer || !effect || !effect->programs()) return;
  const int current = effect->getCurrentProgramIndex();
  ImageFormat format;
  if (!recogniseImage(buffer, static_cast<uint32_t>(effect->getPluginID()), kPresetType, convert != nullptr, reversed,
                      format))
    return;

  ProgramRecord& record = effect->programs()[current];
  float older[kOlderNumParams];
  const bool isOlder = format.values == kOlderNumParams;
  readRecord(buffer + kBodyAt, format, record, isOlder ? older : nullptr);
  if (isOlder) convert(record, older);

  char name[kNameSize + 1];
  terminatedName(record, name);
  applyProgramName(name);
  effect->selectProgram(current);
}

void CPresetSystemEditor::applyBankImage(const uint8_t* buffer, bool reversed, OlderProgramConversion convert) {
  CPresetSystemEffect* effect = presetEffect();
  if (!buffer || !effect || !effect->programs()) return;
  // Program 0 becomes current whether or not the image is taken.
  effect->selectProgram(0);
  ImageFormat format;
  if (!recogniseImage(buffer, static_cast<uint32_t>(effect->getPluginID()), kBankType, convert != nullptr, reversed,
                      format))
    return;

  const bool isOlder = format.values == kOlderNumParams;
  const uint8_t* at = buffer + kBodyAt;
  for (int k = 0; k < kNumPrograms; ++k) {
    float older[kOlderNumParams];
    at += readRecord(at, format, effect->programs()[k], isOlder ? older : nullptr);
    if (isOlder) convert(effect->programs()[k], older);
  }

  char name[kNameSize + 1];
  terminatedName(effect->programs()[0], name);
  showProgramName(name);
  effect->selectProgram(0);
}

// Each value goes through the effect's setParameter 60..119, which decodes
// it into the controller map. An older image leaves the assignments of
// parameters 48..59 as they were.
void CPresetSystemEditor::applyMidiImage(const uint8_t* buffer, bool reversed, bool acceptOlder) {
  CPresetSystemEffect* effect = presetEffect();
  if (!buffer || !effect) return;
  ImageFormat format;
  if (!recogniseImage(buffer, static_cast<uint32_t>(effect->getPluginID()), kMidiType, acceptOlder, reversed, format))
    return;
  for (int i = 0; i < format.values; ++i)
    effect->setParameter(params::kNumParams + i, readFloat(buffer + kBodyAt + 4 * i, format.reversed));
}

void CPresetSystemEditor::loadPresetData(const uint8_t* buffer, bool reversed) {
  applyPresetImage(buffer, reversed, nullptr);
}

void CPresetSystemEditor::loadBankData(const uint8_t* buffer, bool reversed) {
  applyBankImage(buffer, reversed, nullptr);
}

void CPresetSystemEditor::loadMidiData(const uint8_t* buffer, bool reversed) {
  applyMidiImage(buffer, reversed, false);
}

void CPresetSystemEditor::storePresetData(uint8_t* buffer) {
  if (!buffer) return;
  std::memset(buffer, 0, kPresetImageSize);
  CPresetSystemEffect* effect = presetEffect();
  if (!effect || !effect->programs()) return;
  writeHeader(buffer, effect->getPluginID(), kPresetType);
  writeRecord(buffer + kBodyAt, effect->programs()[effect->getCurrentProgramIndex()]);
}

void CPresetSystemEditor::storeBankData(uint8_t* buffer) {
  if (!buffer) return;
  std::memset(buffer, 0, kBankImageSize);
  CPresetSystemEffect* effect = presetEffect();
  if (!effect || !effect->programs()) return;
  writeHeader(buffer, effect->getPluginID(), kBankType);
  for (int k = 0; k < kNumPrograms; ++k)
    writeRecord(buffer + kBodyAt + k * static_cast<int>(sizeof(ProgramRecord)), effect->programs()[k]);
}

void CPresetSystemEditor::storeMidiData(uint8_t* buffer) {
  if (!buffer) return;
  std::memset(buffer, 0, kMidiImageSize);
  CPresetSystemEffect* effect = presetEffect();
  if (!effect) return;
  writeHeader(buffer, effect->getPluginID(), kMidiType);
  for (int i = 0; i < params::kNumParams; ++i)
    writeFloat(buffer + kBodyAt + 4 * i, effect->getParameter(params::kNumParams + i));
}

void CPresetSystemEditor::applyProgramName(const char* name) {
  showProgramName(name);
  if (presetEffect()) presetEffect()->renameCurrentProgram(name);
}

static_assert(kBodyAt + kNameSize + 4 * params::kNumParams == kPresetImageSize, "preset image size");
static_assert(kBodyAt + kNumPrograms * static_cast<int>(sizeof(ProgramRecord)) == kBankImageSize, "bank image size");
static_assert(kBodyAt + 4 * params::kNumParams == kMidiImageSize, "MIDI-settings image size");

}  // namespace presets
