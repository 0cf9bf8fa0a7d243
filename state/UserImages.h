// Preset, bank and MIDI-settings images as files and as the user's defaults
// and memos (kept by name in the per-user settings store), read whole or
// refused: an image cut short of its layout's length is never padded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace state {

// The user's stored images: the defaults a new instance starts with and the
// two preset memos.
enum class UserImage { DefaultBank, DefaultPreset, DefaultMidi, MemoA, MemoB };

// An image of kind `type` from a regular file (no more of it than the
// image): false when the file cannot be read or holds an image cut short.
// The image has the kind's full size, zeros past what the file held.
bool readImageFile(const std::string& path, uint8_t type, uint32_t ownId, std::vector<uint8_t>& image);
// Replaces the file only once the new one is complete.
bool writeImageFile(const std::string& path, const std::vector<uint8_t>& image);

// The stored image of kind `type`, zeros where there is none: false when
// the stored value is cut short of its image.
bool readUserImage(UserImage which, uint8_t type, uint32_t ownId, std::vector<uint8_t>& image);
void writeUserImage(UserImage which, const std::vector<uint8_t>& image);
void removeUserImage(UserImage which);

}  // namespace state
