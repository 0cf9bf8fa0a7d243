// Which host buffer each engine signal reads from or writes to.
#pragma once

namespace engine {

// Until the host tells otherwise, the main pair in and out, keyed by itself.
// A host that answers no pin as connected (or processes before its first
// resume) still passes the two outputs the plug-in declares: each gets its
// own side, instead of the left one the sum of both and the right one
// whatever the host's buffer held. The key inputs are read only once a host
// has said they are there.
struct ChannelMap {
  int mainL = 0, mainR = 1;  // main stereo input
  int keyL = 0, keyR = 1;    // key input of the ducking
  int outL = 0, outR = 1;    // outputs

  // The map for a host that connects `inputs` input and `outputs` output
  // channels; false (map untouched) for counts the effect cannot serve.
  static bool forChannelCounts(int inputs, int outputs, ChannelMap& map);

  bool operator==(const ChannelMap&) const = default;
};

inline bool ChannelMap::forChannelCounts(int inputs, int outputs, ChannelMap& map) {
  ChannelMap m;
  if (inputs == 1 && outputs == 1) {
    m = {0, 0, 0, 0, 0, 0};
  } else if (inputs == 1 && outputs == 2) {
    m = {0, 0, 0, 0, 0, 1};
  } else if (inputs == 2 && outputs == 1) {
    m = {0, 0, 1, 1, 0, 0};
  } else if (inputs == 2 && outputs == 2) {
    m = {0, 1, 0, 1, 0, 1};
  } else if (inputs == 3 && outputs == 2) {
    m = {0, 1, 2, 2, 0, 1};
  } else if (inputs == 4 && outputs == 2) {
    m = {0, 1, 2, 3, 0, 1};
  } else {
    return false;
  }
  map = m;
  return true;
}

}  // namespace engine
