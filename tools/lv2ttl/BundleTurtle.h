// The Turtle of the LV2 bundle, written from the parameter table, the
// parameters' own value texts and the factory programs: the manifest, the
// plug-in with its ports and UI, and the factory presets.
#pragma once

#include <string>

namespace lv2ttl {

std::string manifestTurtle();
std::string pluginTurtle();
std::string presetsTurtle();

}  // namespace lv2ttl
