// A PNG picture of a render: the output waveform above, the impulse
// response of the setting below (level in dB against time in ms), so the
// echo pattern can be seen at a glance.
#pragma once

#include <string>

#include "host/cli/Render.h"

namespace cli {

void writePlot(const std::string& path, const std::string& title, const Waveform& output, const Planar& impulse,
               int sampleRate);

}  // namespace cli
