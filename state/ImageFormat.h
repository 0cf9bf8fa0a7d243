// The preset, bank and MIDI-settings images, as files and registry values
// carry them, and their decoding. Both the plug-in's own loaders and the
// command-line host read images through these functions.
//
//   preset, 269 bytes:   ID, type 0x21, 24-byte name, 60 floats
//   bank, 16109 bytes:   ID, type 0x37, 61 records (24-byte name, 60 floats)
//   MIDI, 245 bytes:     ID, type 0x0B, 60 controller assignment values
//
// The ID comes first, in the writer's byte order: a reader that finds it
// byte-reversed reverses every number. Images of the older 48-parameter
// build carry their own ID and 48 values in place of 60 (221, 13181 and 197
// bytes); they are read, never written.
#pragma once

#include <cstddef>
#include <cstdint>

#include "state/ByteOrder.h"
#include "state/ProgramRecord.h"

namespace state {

constexpr int kImageIdAt = 0;
constexpr int kImageTypeAt = 4;
constexpr int kImageBodyAt = 5;

constexpr int kPresetImageSize = 269;
constexpr int kBankImageSize = 16109;
constexpr int kMidiImageSize = 245;

// Type bytes at offset 4 of the images.
constexpr uint8_t kPresetType = 0x21;
constexpr uint8_t kBankType = 0x37;
constexpr uint8_t kMidiType = 0x0b;

// The older build's images carry this ID and 48 values per program.
constexpr int32_t kOlderPluginId = fourCharId('R', 'd', 'l', 'q');
constexpr int kOlderNumParams = 48;
constexpr int kOlderPresetImageSize = 5 + kNameSize + 4 * kOlderNumParams;                 // 221
constexpr int kOlderBankImageSize = 5 + kNumPrograms * (kNameSize + 4 * kOlderNumParams);  // 13181
constexpr int kOlderMidiImageSize = 5 + 4 * kOlderNumParams;                               // 197

// How a recognised image is laid out.
struct ImageLayout {
  int values = params::kNumParams;  // per program, or assignment values
  bool reversed = false;            // numbers in the other byte order
  bool older() const { return values == kOlderNumParams; }
};

enum class ImageCheck {
  Recognised,
  UnknownId,  // neither this plug-in's ID nor (when accepted) the older one
  OtherKind,  // a known ID with the type byte of another kind of image
};

// Which layout and byte order an image of kind `type` has, from its first
// five bytes. `ownId` is the plug-in's ID; the older ID is taken only with
// `acceptOlder`. The user's endian-reversed request reverses the numbers
// once more, so a reversed image loaded with the request is taken as stored.
ImageCheck recogniseImage(const uint8_t* image, uint32_t ownId, uint8_t type, bool acceptOlder, bool reversedRequest,
                          ImageLayout& layout);

// The number of bytes a whole image of kind `type` in `layout` takes.
int imageSize(uint8_t type, const ImageLayout& layout);

// Whether `length` bytes read from a file or a stored value are an image of
// kind `type` (this plug-in's ID or the older one) cut short of the length
// its layout needs, so that it must be refused whole rather than padded
// with zeros. An ID followed by no type byte counts as cut short too; an
// image of another kind is not this check's to refuse. `image` holds at
// least the five header bytes, zeros past `length`.
bool isCutShort(const uint8_t* image, std::size_t length, uint32_t ownId, uint8_t type);

// The decoders read a whole image (imageSize bytes) of a recognised
// layout. Programs of an older image come out converted to the current
// parameter set.
void decodePresetImage(const uint8_t* image, const ImageLayout& layout, ProgramRecord& program);
// `programs` has room for kNumPrograms.
void decodeBankImage(const uint8_t* image, const ImageLayout& layout, ProgramRecord* programs);
// Writes layout.values assignment values (those of parameters 0..47 for an
// older image) and returns how many.
int decodeMidiImage(const uint8_t* image, const ImageLayout& layout, float* assignments);

// The encoders fill a whole image (kPresetImageSize, kBankImageSize or
// kMidiImageSize bytes) in this machine's byte order, with this plug-in's ID.
void encodePresetImage(uint8_t* image, uint32_t ownId, const ProgramRecord& program);
// `programs` holds kNumPrograms.
void encodeBankImage(uint8_t* image, uint32_t ownId, const ProgramRecord* programs);
// `assignments` holds one value per parameter.
void encodeMidiImage(uint8_t* image, uint32_t ownId, const float* assignments);

// Completes a program whose first 48 values (`older`, already in this
// machine's byte order) come from the older build.
void convertOlderProgram(ProgramRecord& program, const float* older);

}  // namespace state
