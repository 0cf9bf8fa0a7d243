// Preset, bank and MIDI-settings files of any length and content through the
// plug-in's file commands, as they come from disk.
//
// Input: one byte of choices (bits 0-1: preset, bank or MIDI settings; bit 2:
// the user's endian-reversed request; bit 3: a block in double precision),
// one byte for the tempo, one for the program that is current, then the
// file's bytes.
//
// Holds to: an image of the kind cut short of its layout's length is refused
// and changes nothing; a file that is not an image of the kind changes
// nothing (a bank command still makes program 0 current); a current-layout
// image puts its
// names and its values, held to 0..1, into the store; whatever was taken
// saves and loads back to the same state; a block afterwards stays finite.
#include <unistd.h>

#include <string>

#include "core/ProgramFiles.h"
#include "state/ByteOrder.h"
#include "state/ImageFormat.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

using namespace fuzz;
using state::kNameSize;

const std::string& scratchFile() {
  static const std::string path = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/tavrel-fuzz-XXXXXX";
    FUZZ_CHECK(mkdtemp(dir.data()), "no scratch folder");
    return dir + "/image";
  }();
  return path;
}

void writeFile(const Bytes& bytes) {
  std::FILE* file = std::fopen(scratchFile().c_str(), "wb");
  FUZZ_CHECK(file, "cannot write %s", scratchFile().c_str());
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

struct Kind {
  uint8_t type;
  int size;  // of the current layout
  bool (core::ProgramFiles::*load)(const std::string&, bool);
  void (core::ProgramFiles::*loadData)(const uint8_t*, bool);
  void (core::ProgramFiles::*storeData)(uint8_t*);
};

const Kind kKinds[] = {
    {state::kPresetType, state::kPresetImageSize, &core::ProgramFiles::loadPresetFile,
     &core::ProgramFiles::loadPresetData, &core::ProgramFiles::storePresetData},
    {state::kBankType, state::kBankImageSize, &core::ProgramFiles::loadBankFile,
     &core::ProgramFiles::loadBankData, &core::ProgramFiles::storeBankData},
    {state::kMidiType, state::kMidiImageSize, &core::ProgramFiles::loadMidiFile,
     &core::ProgramFiles::loadMidiData, &core::ProgramFiles::storeMidiData},
};

float floatAt(const Bytes& b, size_t at, bool reversed) {
  uint32_t w;
  std::memcpy(&w, b.data() + at, 4);
  if (reversed) w = state::reverseBytes(w);
  float f;
  std::memcpy(&f, &w, 4);
  return f;
}

float held(float v) { return !(v >= 0.0f) ? 0.0f : (v > 1.0f ? 1.0f : v); }

uint8_t* recordIn(Bytes& chunk, int program) {
  return chunk.data() + state::kChunkRecordsAt + program * sizeof(state::ProgramRecord);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  Effect& effect = Effect::get();
  const uint8_t choices = in.byte();
  Host::current().chooseTime(in);
  effect.reset();
  const int current = in.byte() % state::kNumPrograms;
  effect.zel().selectProgram(current);
  core::ProgramFiles& files = effect.zel().files();

  const Kind& kind = kKinds[(choices & 3) % 3];
  const bool request = choices & 4;
  const Bytes file = in.take();
  writeFile(file);

  // The command reads the image's size from the file.
  Bytes image = file;
  image.resize(static_cast<size_t>(kind.size), 0);
  uint32_t id;
  std::memcpy(&id, image.data(), 4);
  const auto own = static_cast<uint32_t>(state::kPluginId);
  const auto older = static_cast<uint32_t>(state::kOlderPluginId);
  const bool idReversed = id == state::reverseBytes(own) || id == state::reverseBytes(older);
  const bool known = id == own || id == older || idReversed;
  const bool recognised = known && image[4] == kind.type;
  const bool currentLayout = id == own || id == state::reverseBytes(own);
  const bool reversed = idReversed != request;
  // An image of the kind (or an ID with no type byte after it) shorter than
  // its layout is refused whole.
  const int needed = currentLayout ? kind.size : state::imageSize(kind.type, {state::kOlderNumParams, false});
  const bool cutShort = known && (recognised || file.size() < 5) && file.size() < static_cast<size_t>(needed);

  Bytes before = effect.chunk();
  const bool loaded = (files.*kind.load)(scratchFile(), request);
  FUZZ_CHECK(loaded != cutShort, cutShort ? "an image cut short loads" : "an existing file does not load");
  Bytes after = effect.chunk();
  if (cutShort) {
    FUZZ_CHECK(after == before, "an image cut short changed the state");
    return 0;
  }

  if (kind.type == state::kBankType) {
    // Program 0 becomes current whether or not the image is taken.
    std::memset(before.data() + state::kChunkCurrentAt, 0, 4);
  }
  if (!recognised) {
    FUZZ_CHECK(after == before, "a file that is not an image of its kind changed the state");
  } else if (currentLayout && kind.type != state::kMidiType) {
    const bool bank = kind.type == state::kBankType;
    for (int k = bank ? 0 : current; k <= (bank ? state::kNumPrograms - 1 : current); ++k) {
      const size_t at = 5 + (bank ? k * sizeof(state::ProgramRecord) : 0);
      const uint8_t* record = recordIn(after, k);
      // A bank's names are taken as stored; a preset's name is the program's
      // new name, a text: what follows its first zero is cleared.
      uint8_t name[kNameSize] = {};
      std::memcpy(name, image.data() + at, bank ? kNameSize : strnlen(reinterpret_cast<const char*>(&image[at]), kNameSize));
      FUZZ_CHECK(std::memcmp(record, name, kNameSize) == 0, "program %d has another name", k);
      for (int i = 0; i < params::kNumParams; ++i) {
        float stored;
        std::memcpy(&stored, record + kNameSize + 4 * i, 4);
        const float expected = held(floatAt(image, at + kNameSize + 4 * i, reversed));
        FUZZ_CHECK(std::memcmp(&stored, &expected, 4) == 0, "program %d value %d is %g, not %g", k, i, stored,
                   expected);
      }
    }
  }
  checkProgramValues(after);
  checkState(effect);

  // What was taken saves and loads back to the same state.
  Bytes saved(static_cast<size_t>(kind.size));
  (files.*kind.storeData)(saved.data());
  (files.*kind.loadData)(saved.data(), false);
  FUZZ_CHECK(effect.chunk() == after, "a saved image does not load back to the same state");

  processBlock(effect, in, 64, choices & 8);
  return 0;
}
