#include "state/ImageFormat.h"

#include <algorithm>
#include <cstring>

#include "params/Steps.h"
#include "state/ByteOrder.h"

namespace state {

namespace {

int recordSize(const ImageLayout& layout) { return kNameSize + 4 * layout.values; }

// Reads one program record at `at`; returns the number of bytes it took.
int readRecord(const uint8_t* at, const ImageLayout& layout, ProgramRecord& program) {
  std::memcpy(program.name, at, kNameSize);
  float older[kOlderNumParams];
  for (int i = 0; i < layout.values; ++i) {
    const float value = readFloat(at + kNameSize + 4 * i, layout.reversed);
    program.values[i] = value;
    if (layout.older()) older[i] = value;
  }
  if (layout.older()) convertOlderProgram(program, older);
  // A file may hold anything; the program takes only what a control can set.
  for (auto& value : program.values) value = params::heldNormalised(value);
  return recordSize(layout);
}

void writeHeader(uint8_t* image, uint32_t id, uint8_t type) {
  writeWord(image + kImageIdAt, id);
  image[kImageTypeAt] = type;
}

void writeRecord(uint8_t* at, const ProgramRecord& program) {
  std::memcpy(at, program.name, kNameSize);
  for (int i = 0; i < params::kNumParams; ++i) writeFloat(at + kNameSize + 4 * i, program.values[i]);
}

}  // namespace

ImageCheck recogniseImage(const uint8_t* image, uint32_t ownId, uint8_t type, bool acceptOlder, bool reversedRequest,
                          ImageLayout& layout) {
  const uint32_t id = readWord(image + kImageIdAt);
  const auto olderId = static_cast<uint32_t>(kOlderPluginId);
  if (id == ownId) {
    layout = {params::kNumParams, false};
  } else if (id == reverseBytes(ownId)) {
    layout = {params::kNumParams, true};
  } else if (acceptOlder && id == olderId) {
    layout = {kOlderNumParams, false};
  } else if (acceptOlder && id == reverseBytes(olderId)) {
    layout = {kOlderNumParams, true};
  } else {
    return ImageCheck::UnknownId;
  }
  if (image[kImageTypeAt] != type) return ImageCheck::OtherKind;
  layout.reversed = layout.reversed != reversedRequest;
  return ImageCheck::Recognised;
}

int imageSize(uint8_t type, const ImageLayout& layout) {
  switch (type) {
    case kPresetType: return kImageBodyAt + recordSize(layout);
    case kBankType: return kImageBodyAt + kNumPrograms * recordSize(layout);
    default: return kImageBodyAt + 4 * layout.values;
  }
}

bool isCutShort(const uint8_t* image, std::size_t length, uint32_t ownId, uint8_t type) {
  ImageLayout layout;
  const ImageCheck check = recogniseImage(image, ownId, type, true, false, layout);
  if (check == ImageCheck::UnknownId) return false;
  if (check == ImageCheck::OtherKind && length > kImageTypeAt) return false;
  return length < static_cast<std::size_t>(imageSize(type, layout));
}

void decodePresetImage(const uint8_t* image, const ImageLayout& layout, ProgramRecord& program) {
  readRecord(image + kImageBodyAt, layout, program);
}

void decodeBankImage(const uint8_t* image, const ImageLayout& layout, ProgramRecord* programs) {
  const uint8_t* at = image + kImageBodyAt;
  for (int k = 0; k < kNumPrograms; ++k) at += readRecord(at, layout, programs[k]);
}

int decodeMidiImage(const uint8_t* image, const ImageLayout& layout, float* assignments) {
  for (int i = 0; i < layout.values; ++i)
    assignments[i] = readFloat(image + kImageBodyAt + 4 * i, layout.reversed);
  return layout.values;
}

void encodePresetImage(uint8_t* image, uint32_t ownId, const ProgramRecord& program) {
  writeHeader(image, ownId, kPresetType);
  writeRecord(image + kImageBodyAt, program);
}

void encodeBankImage(uint8_t* image, uint32_t ownId, const ProgramRecord* programs) {
  writeHeader(image, ownId, kBankType);
  for (int k = 0; k < kNumPrograms; ++k)
    writeRecord(image + kImageBodyAt + k * static_cast<int>(sizeof(ProgramRecord)), programs[k]);
}

void encodeMidiImage(uint8_t* image, uint32_t ownId, const float* assignments) {
  writeHeader(image, ownId, kMidiType);
  for (int i = 0; i < params::kNumParams; ++i) writeFloat(image + kImageBodyAt + 4 * i, assignments[i]);
}

// The older build had a two-state LFO mode, a five-state LFO waveform whose
// last state played the LFO at note values (now the third LFO mode), and
// none of parameters 48..59, which get their neutral values.
void convertOlderProgram(ProgramRecord& program, const float* older) {
  using namespace params;
  auto& v = program.values;
  v[LfoMode] = steps(older[LfoMode], 2) == 1 ? stepValue(2, 3) : stepValue(0, 3);

  v[DlyPanL] = 0.0f;
  v[DlyPanR] = 1.0f;
  v[DlyGateL] = 0.0f;
  v[DlyGateR] = 0.0f;
  v[Ducking] = 1.0f;
  v[ResoMod] = 0.5f;
  v[PreNumL] = 0.0f;
  v[PreNumR] = 0.0f;
  v[PreDenL] = stepValue(1, 13);
  v[PreDenR] = stepValue(1, 13);
  v[MuteInL] = 0.0f;
  v[MuteInR] = 0.0f;

  if (steps(older[LFOWave], 5) == 4) {
    v[LfoMode] = stepValue(2, 3);
    int den = steps(older[LfoDen], 13);
    den = den == 0 ? 3 : std::min(den + 4, 12);
    v[LfoDen] = stepValue(den, 13);
  }
}

static_assert(kImageBodyAt + kNameSize + 4 * params::kNumParams == kPresetImageSize, "preset image size");
static_assert(kImageBodyAt + kNumPrograms * static_cast<int>(sizeof(ProgramRecord)) == kBankImageSize,
              "bank image size");
static_assert(kImageBodyAt + 4 * params::kNumParams == kMidiImageSize, "MIDI-settings image size");

}  // namespace state
