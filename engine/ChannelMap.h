// Which host buffer each engine signal reads from or writes to.
#pragma once

namespace engine {

struct ChannelMap {
  int mainL = 0, mainR = 0;  // main stereo input
  int keyL = 0, keyR = 0;    // key input of the ducking
  int outL = 0, outR = 0;    // outputs

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
