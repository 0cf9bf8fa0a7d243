#include "BundleTurtle.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/WorkingValues.h"
#include "lv2/Uris.h"
#include "params/ParameterApplication.h"
#include "params/ParameterTable.h"
#include "params/ParameterText.h"
#include "params/Steps.h"
#include "state/FactoryPresets.h"

namespace lv2ttl {

namespace {

using namespace lv2plugin;
using params::Kind;

constexpr const char* kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix patch: <http://lv2plug.in/ns/ext/patch#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix rsz: <http://lv2plug.in/ns/ext/resize-port#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
    "@prefix work: <http://lv2plug.in/ns/ext/worker#> .\n"
    "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n\n";

// Port symbols of the ports that are not parameters.
constexpr const char* kControlSymbol = "control";
constexpr const char* kNotifySymbol = "notify";
constexpr const char* kMeterSymbols[2] = {"meter_l", "meter_r"};

std::string iri(const std::string& uri) { return "<" + uri + ">"; }

std::string quoted(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// A decimal literal that reads back as exactly the same float: the shortest
// fixed-point text that does, never in exponent form (a double literal,
// which the schemas do not expect for port values and defaults).
std::string decimal(float v) {
  char s[64];
  for (int digits = 1; digits <= 60; ++digits) {
    std::snprintf(s, sizeof s, "%.*f", digits, static_cast<double>(v));
    if (std::strtof(s, nullptr) == v) break;
  }
  return s;
}

std::string presetUri(int program) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%02d", program);
  return std::string(kPresetPrefix) + digits;
}

// The port symbol: the short name, except for the two write-only switches,
// whose short name "n/a" is no symbol.
std::string symbol(int index) {
  if (index == params::DriveSwitch) return "DriveSw";
  if (index == params::CutfModSwitch) return "CutfModSw";
  return params::kParameterTable[static_cast<size_t>(index)].name;
}

bool isEnumeration(Kind kind) { return kind != Kind::Continuous && kind != Kind::Exponential && kind != Kind::Bipolar; }

// The label of step `step` of a stepped parameter: its own value text at the
// step centre, as a host and the panel show it, with the unit where it has
// one ("5000 ms"). Where two steps share a text, a host's list would show
// the same entry twice: the write-only switches show "n/a" either way and
// are labelled by what they do, and the LFO's two synchronised modes both
// show "note", the second locking the phase to the song position.
std::string stepLabel(params::ParameterApplication& app, int index, int step, int steps) {
  if (index == params::DriveSwitch || index == params::CutfModSwitch) return step == 0 ? "off" : "on";
  if (index == params::LfoMode && step == 2) return "note (song position)";
  app.apply(index, params::stepValue(step, steps));
  char text[64] = "", unit[64] = "";
  params::parameterDisplay(app, index, text);
  params::parameterLabel(index, unit);
  std::string label = text;
  if (unit[0]) label += std::string(" ") + unit;
  return label;
}

std::string controlPort(params::ParameterApplication& app, int index, float defaultValue) {
  const params::ParameterInfo& info = params::kParameterTable[static_cast<size_t>(index)];
  std::string t = "\t\ta lv2:InputPort, lv2:ControlPort ;\n";
  t += "\t\tlv2:index " + std::to_string(parameterPort(index)) + " ;\n";
  t += "\t\tlv2:symbol " + quoted(symbol(index)) + " ;\n";
  t += "\t\tlv2:name " + quoted(info.longName) + " ;\n";
  t += "\t\tlv2:default " + decimal(defaultValue) + " ;\n";
  t += "\t\tlv2:minimum 0.0 ;\n\t\tlv2:maximum 1.0";
  if (info.kind == Kind::WriteOnly) t += " ;\n\t\tlv2:portProperty pprops:notOnGUI";
  if (isEnumeration(info.kind)) {
    t += " ;\n\t\tlv2:portProperty lv2:enumeration ;\n\t\tlv2:scalePoint";
    for (int step = 0; step < info.steps; ++step) {
      t += step ? " ,\n\t\t\t[ rdfs:label " : " [ rdfs:label ";
      t += quoted(stepLabel(app, index, step, info.steps)) + " ; rdf:value " +
           decimal(params::stepValue(step, info.steps)) + " ]";
    }
  }
  return t + "\n";
}

std::string audioPort(uint32_t index, const char* sym, const char* name, bool input, bool key) {
  std::string t = input ? "\t\ta lv2:AudioPort, lv2:InputPort ;\n" : "\t\ta lv2:AudioPort, lv2:OutputPort ;\n";
  t += "\t\tlv2:index " + std::to_string(index) + " ;\n";
  t += "\t\tlv2:symbol " + quoted(sym) + " ;\n\t\tlv2:name " + quoted(name);
  if (key) t += " ;\n\t\tlv2:portProperty lv2:isSideChain, lv2:connectionOptional";
  return t + "\n";
}

std::string atomPort(uint32_t index, bool input) {
  std::string t = input ? "\t\ta lv2:InputPort, atom:AtomPort ;\n" : "\t\ta lv2:OutputPort, atom:AtomPort ;\n";
  t += "\t\tatom:bufferType atom:Sequence ;\n";
  t += input ? "\t\tatom:supports midi:MidiEvent, time:Position, patch:Message ;\n"
             : "\t\tatom:supports patch:Message ;\n";
  t += "\t\tlv2:designation lv2:control ;\n";
  t += "\t\tlv2:index " + std::to_string(index) + " ;\n";
  t += "\t\tlv2:symbol " + quoted(input ? kControlSymbol : kNotifySymbol) + " ;\n";
  t += "\t\tlv2:name " + quoted(input ? "Control" : "Notify") + " ;\n";
  t += "\t\trsz:minimumSize " + std::to_string(kAtomBufferSize) + " ;\n";
  return t + "\t\tlv2:portProperty lv2:connectionOptional\n";
}

std::string meterPort(int side) {
  std::string t = "\t\ta lv2:OutputPort, lv2:ControlPort ;\n";
  t += "\t\tlv2:index " + std::to_string(side == 0 ? kMeterL : kMeterR) + " ;\n";
  t += "\t\tlv2:symbol " + quoted(kMeterSymbols[side]) + " ;\n";
  t += "\t\tlv2:name " + quoted(side == 0 ? "Input peak (left)" : "Input peak (right)") + " ;\n";
  return t + "\t\tlv2:default 0.0 ;\n\t\tlv2:minimum 0.0 ;\n\t\tlv2:maximum 1.0\n";
}

std::string uiTurtle() {
  std::string t = iri(kUiUri) + "\n\ta ui:X11UI ;\n";
  t += "\tui:binary " + iri(kUiBinary) + " ;\n";
  // The panel embeds itself in the host's window and is driven by the
  // host's idle calls; it names its messages through urid:map.
  t += "\tlv2:requiredFeature ui:parent, ui:idleInterface, urid:map ;\n";
  t += "\tlv2:optionalFeature ui:resize, ui:touch, opts:options ;\n";
  t += "\tlv2:extensionData ui:idleInterface ;\n";
  t += "\topts:supportedOption ui:scaleFactor ;\n";
  t += "\tui:portNotification [\n\t\tui:plugin " + iri(kPluginUri) + " ;\n\t\tlv2:symbol " +
       quoted(kMeterSymbols[0]) + " ;\n\t\tui:protocol ui:floatProtocol\n\t] , [\n";
  t += "\t\tui:plugin " + iri(kPluginUri) + " ;\n\t\tlv2:symbol " + quoted(kMeterSymbols[1]) +
       " ;\n\t\tui:protocol ui:floatProtocol\n\t] , [\n";
  t += "\t\tui:plugin " + iri(kPluginUri) + " ;\n\t\tlv2:symbol " + quoted(kNotifySymbol) +
       " ;\n\t\tui:protocol atom:eventTransfer\n\t] .\n";
  return t;
}

// The properties the plug-in keeps in its state.
std::string statePropertiesTurtle() {
  std::string t = iri(kChunkUri) + "\n\ta rdf:Property ;\n\trdfs:label \"chunk\" ;\n";
  t += "\trdfs:comment \"The whole state: the programs, the current one and the controller map.\" .\n\n";
  t += iri(kTempoUri) + "\n\ta rdf:Property ;\n\trdfs:label \"manual tempo\" ;\n";
  t += "\trdfs:comment \"The tempo in BPM the note values count with when the host gives none.\" ;\n";
  t += "\trdfs:range xsd:double .\n\n";
  t += iri(kProgramUri) + "\n\ta rdf:Property ;\n\trdfs:label \"program\" ;\n";
  t += "\trdfs:comment \"A factory program to make current, by number.\" ;\n";
  return t + "\trdfs:range xsd:int .\n\n";
}

}  // namespace

std::string manifestTurtle() {
  std::string t = kPrefixes;
  t += iri(kPluginUri) + "\n\ta lv2:Plugin ;\n\tlv2:binary " + iri(kDspBinary) + " ;\n\trdfs:seeAlso <tavrel.ttl> .\n\n";
  t += iri(kUiUri) + "\n\ta ui:X11UI ;\n\tui:binary " + iri(kUiBinary) + " ;\n\trdfs:seeAlso <tavrel.ttl> .\n";
  for (int p = 0; p < state::kNumPrograms; ++p)
    t += '\n' + iri(presetUri(p)) + "\n\ta pset:Preset ;\n\tlv2:appliesTo " + iri(kPluginUri) +
         " ;\n\trdfs:seeAlso <presets.ttl> .\n";
  return t;
}

std::string pluginTurtle() {
  const state::FactoryPreset& first = state::factoryPresets()[0];
  engine::WorkingValues values;
  params::ParameterApplication app(values);
  for (int i = 0; i < params::kNumParams; ++i) app.apply(i, first.values[static_cast<size_t>(i)]);

  std::string t = kPrefixes;
  t += iri(kPluginUri) + "\n\ta lv2:Plugin, lv2:DelayPlugin, doap:Project ;\n";
  t += "\tdoap:name \"Tavrel\" ;\n";
  t += "\tdoap:maintainer [ foaf:name \"Korvane\" ] ;\n";
  t += "\tlv2:minorVersion 0 ;\n\tlv2:microVersion 0 ;\n";
  // Restoring state alongside run is safe: the core hands restored programs
  // to the audio thread instead of writing into what it plays.
  t += "\tlv2:optionalFeature lv2:hardRTCapable, urid:map, work:schedule, state:threadSafeRestore ;\n";
  t += "\tlv2:extensionData state:interface, work:interface ;\n";
  t += "\tui:ui " + iri(kUiUri) + " ;\n";
  t += "\tlv2:port [\n";
  std::vector<std::string> ports;
  ports.push_back(audioPort(kInputL, "in_l", "Input (left)", true, false));
  ports.push_back(audioPort(kInputR, "in_r", "Input (right)", true, false));
  ports.push_back(audioPort(kKeyL, "key_l", "Key input (left)", true, true));
  ports.push_back(audioPort(kKeyR, "key_r", "Key input (right)", true, true));
  ports.push_back(audioPort(kOutputL, "out_l", "Output (left)", false, false));
  ports.push_back(audioPort(kOutputR, "out_r", "Output (right)", false, false));
  for (int i = 0; i < params::kNumParams; ++i) ports.push_back(controlPort(app, i, first.values[static_cast<size_t>(i)]));
  ports.push_back(atomPort(kControl, true));
  ports.push_back(atomPort(kNotify, false));
  ports.push_back(meterPort(0));
  ports.push_back(meterPort(1));
  for (size_t p = 0; p < ports.size(); ++p) {
    if (p) t += "\t] , [\n";
    t += ports[p];
  }
  t += "\t] .\n\n";
  return t + statePropertiesTurtle() + uiTurtle();
}

std::string presetsTurtle() {
  std::string t = kPrefixes;
  const auto& programs = state::factoryPresets();
  for (int p = 0; p < state::kNumPrograms; ++p) {
    const state::FactoryPreset& program = programs[static_cast<size_t>(p)];
    t += iri(presetUri(p)) + "\n\ta pset:Preset ;\n\tlv2:appliesTo " + iri(kPluginUri) + " ;\n";
    t += "\trdfs:label " + quoted(program.name) + " ;\n";
    t += "\tlv2:port";
    for (int i = 0; i < params::kNumParams; ++i)
      t += std::string(i ? " ,\n\t\t" : " ") + "[ lv2:symbol " + quoted(symbol(i)) + " ; pset:value " +
           decimal(program.values[static_cast<size_t>(i)]) + " ]";
    // The program property makes the restore select this program in the
    // store, so the program bar shows its name.
    t += " ;\n\tstate:state [\n\t\t" + iri(kProgramUri) + " \"" + std::to_string(p) + "\"^^xsd:int\n\t] .\n\n";
  }
  return t;
}

}  // namespace lv2ttl
