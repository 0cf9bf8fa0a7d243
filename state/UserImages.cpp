#include "state/UserImages.h"

#include <optional>

#include "platform/AtomicFile.h"
#include "platform/SettingsStore.h"
#include "state/ImageFormat.h"

namespace state {

namespace {

const char* valueName(UserImage which) {
  switch (which) {
    case UserImage::DefaultBank: return "DefaultBank";
    case UserImage::DefaultPreset: return "DefaultPreset";
    case UserImage::DefaultMidi: return "DefaultMidi";
    case UserImage::MemoA: return "MemoA";
    case UserImage::MemoB: return "MemoB";
  }
  return "";
}

void zeroImage(uint8_t type, std::vector<uint8_t>& image) {
  image.assign(static_cast<size_t>(imageSize(type, ImageLayout{})), 0);
}

}  // namespace

bool readImageFile(const std::string& path, uint8_t type, uint32_t ownId, std::vector<uint8_t>& image) {
  zeroImage(type, image);
  const std::optional<size_t> length = platform::readFileInto(path, image.data(), image.size());
  return length && !isCutShort(image.data(), *length, ownId, type);
}

bool writeImageFile(const std::string& path, const std::vector<uint8_t>& image) {
  return platform::replaceFile(path, image.data(), image.size());
}

bool readUserImage(UserImage which, uint8_t type, uint32_t ownId, std::vector<uint8_t>& image) {
  zeroImage(type, image);
  const std::optional<size_t> length =
      platform::SettingsStore::forUser().read(valueName(which), image.data(), image.size());
  return !(length && isCutShort(image.data(), *length, ownId, type));
}

void writeUserImage(UserImage which, const std::vector<uint8_t>& image) {
  platform::SettingsStore::forUser().write(valueName(which), image.data(), image.size());
}

void removeUserImage(UserImage which) { platform::SettingsStore::forUser().remove(valueName(which)); }

}  // namespace state
