// The names the LV2 build of Tavrel is known by, its port order, and the
// messages its DSP and its UI exchange on the atom ports. One place for
// them: the DSP, the UI, the Turtle generator and the tests read them here.
//
// Messages are patch:Set objects {patch:property P, patch:value V} with the
// properties below (P = kPrefix + the name), sent by the UI on the control
// input and by the DSP on the notify output. A patch:Get with no property
// from the UI asks the DSP to send everything it tells the UI.
//
// UI -> DSP
//   selectProgram   Int     make program N current (applied as a program)
//   renameProgram   String  rename the current program
//   midiLearn       Bool    learn mode on / off
//   midiForget      Bool    forget mode on / off
//   manualTempo     Double  the tempo without host time, as the panel's
//                           tempo control holds it (0..1 for 30..400 BPM)
//   loadPreset, loadBank, loadMidi                     Path  a file to load
//   loadPresetReversed, loadBankReversed, loadMidiReversed   Path  the same, other byte order
//   savePreset, saveBank, saveMidi                     Path  a file to write
//   storeUserImage, recallUserImage, removeUserImage   Int   a state::UserImage
// DSP -> UI
//   programNames    String  the 61 names, each followed by '\n'
//   currentProgram  Int
//   programNameShown String a name the name field shows now
//   tempo           Double  the tempo the note values count with
//   hostTime        Bool    whether the host gives the tempo
//   manualTempo     Double
//   controllers     String  60 controller numbers (999: none), separated by ' '
//   learning        Bool
//   forgetting      Bool
//   rangeExceeded   Int     the selectors (1, 2, 8, 16) whose note value runs past the lines
//   folder          Path    the folder a file dialog opens in
//   lastNames       String  the last bank, preset and MIDI-settings names, each followed by '\n'
//   barMessage      String  a short message for the program bar ("no worker")
//   linkSuggested   Bool    LINK as the program just applied suggests it
//   parameterValues Vector of Float: all 60 parameter values, sent when the
//                   DSP changed values the host did not write (a program
//                   applied, a mode or range that settled a time, a file or
//                   memo loaded): the UI writes them to the host's ports so
//                   that the ports, the host's automation and the DSP agree

#pragma once

#include <cstdint>

namespace lv2plugin {

#define TAVREL_URI "urn:korvane:tavrel"

constexpr const char* kPluginUri = TAVREL_URI;
constexpr const char* kUiUri = TAVREL_URI "#ui";
constexpr const char* kPrefix = TAVREL_URI "#";
constexpr const char* kChunkUri = TAVREL_URI "#chunk";      // atom:Chunk, the VST 2.4 chunk's bytes
constexpr const char* kTempoUri = TAVREL_URI "#tempo";      // atom:Double, the manual tempo in BPM
constexpr const char* kProgramUri = TAVREL_URI "#program";  // atom:Int, a factory preset's program
constexpr const char* kPresetPrefix = TAVREL_URI "#preset-";  // + two digits, 00..60

constexpr const char* kBundleName = "Tavrel.lv2";
constexpr const char* kDspBinary = "tavrel_dsp.so";
constexpr const char* kUiBinary = "tavrel_ui.so";

// The ports, in this order.
enum Port : uint32_t {
  kInputL = 0,
  kInputR = 1,
  kKeyL = 2,
  kKeyR = 3,
  kOutputL = 4,
  kOutputR = 5,
  kFirstParameter = 6,  // the 60 parameters in index order: 6..65
  kControl = 66,        // atom input: MIDI, time:Position, patch messages
  kNotify = 67,         // atom output: messages for the UI
  kMeterL = 68,         // control outputs: input peaks, held between UI updates
  kMeterR = 69,
  kPortCount = 70,
};

constexpr uint32_t parameterPort(int index) { return kFirstParameter + static_cast<uint32_t>(index); }

// Large enough for the program names and every other message of one run.
constexpr int kAtomBufferSize = 8192;

}  // namespace lv2plugin
