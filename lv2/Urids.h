// The URIs the LV2 build speaks, mapped to numbers once per instance.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/midi/midi.h>
#include <lv2/patch/patch.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>

#include <string>

#include "lv2/Uris.h"

namespace lv2plugin {

struct Urids {
  // Everything stays 0 (no URI) without a map: the plug-in then runs its
  // audio and control ports alone.
  explicit Urids(const LV2_URID_Map* map) {
    if (!map) return;
    auto m = [map](const char* uri) { return map->map(map->handle, uri); };
    auto ours = [map](const char* name) { return map->map(map->handle, (std::string(kPrefix) + name).c_str()); };
    atomBool = m(LV2_ATOM__Bool);
    atomChunk = m(LV2_ATOM__Chunk);
    atomDouble = m(LV2_ATOM__Double);
    atomFloat = m(LV2_ATOM__Float);
    atomInt = m(LV2_ATOM__Int);
    atomLong = m(LV2_ATOM__Long);
    atomObject = m(LV2_ATOM__Object);
    atomBlank = m(LV2_ATOM__Blank);
    atomPath = m(LV2_ATOM__Path);
    atomSequence = m(LV2_ATOM__Sequence);
    atomString = m(LV2_ATOM__String);
    atomVector = m(LV2_ATOM__Vector);
    atomEventTransfer = m(LV2_ATOM__eventTransfer);
    midiEvent = m(LV2_MIDI__MidiEvent);
    timePosition = m(LV2_TIME__Position);
    timeBar = m(LV2_TIME__bar);
    timeBarBeat = m(LV2_TIME__barBeat);
    timeBeat = m(LV2_TIME__beat);
    timeBeatUnit = m(LV2_TIME__beatUnit);
    timeBeatsPerBar = m(LV2_TIME__beatsPerBar);
    timeBeatsPerMinute = m(LV2_TIME__beatsPerMinute);
    timeSpeed = m(LV2_TIME__speed);
    patchSet = m(LV2_PATCH__Set);
    patchGet = m(LV2_PATCH__Get);
    patchProperty = m(LV2_PATCH__property);
    patchValue = m(LV2_PATCH__value);
    chunk = m(kChunkUri);
    tempo = m(kTempoUri);
    program = m(kProgramUri);
    selectProgram = ours("selectProgram");
    renameProgram = ours("renameProgram");
    midiLearn = ours("midiLearn");
    midiForget = ours("midiForget");
    manualTempo = ours("manualTempo");
    loadPreset = ours("loadPreset");
    loadBank = ours("loadBank");
    loadMidi = ours("loadMidi");
    loadPresetReversed = ours("loadPresetReversed");
    loadBankReversed = ours("loadBankReversed");
    loadMidiReversed = ours("loadMidiReversed");
    savePreset = ours("savePreset");
    saveBank = ours("saveBank");
    saveMidi = ours("saveMidi");
    storeUserImage = ours("storeUserImage");
    recallUserImage = ours("recallUserImage");
    removeUserImage = ours("removeUserImage");
    programNames = ours("programNames");
    currentProgram = ours("currentProgram");
    programNameShown = ours("programNameShown");
    tempoNow = ours("tempo");
    hostTime = ours("hostTime");
    controllers = ours("controllers");
    learning = ours("learning");
    forgetting = ours("forgetting");
    rangeExceeded = ours("rangeExceeded");
    folder = ours("folder");
    lastNames = ours("lastNames");
    barMessage = ours("barMessage");
    parameterValues = ours("parameterValues");
    linkSuggested = ours("linkSuggested");
  }

  bool mapped() const { return atomSequence != 0; }

  LV2_URID atomBool = 0, atomChunk = 0, atomDouble = 0, atomFloat = 0, atomInt = 0, atomLong = 0, atomObject = 0,
           atomBlank = 0, atomPath = 0, atomSequence = 0, atomString = 0, atomVector = 0, atomEventTransfer = 0;
  LV2_URID midiEvent = 0;
  LV2_URID timePosition = 0, timeBar = 0, timeBarBeat = 0, timeBeat = 0, timeBeatUnit = 0, timeBeatsPerBar = 0,
           timeBeatsPerMinute = 0, timeSpeed = 0;
  LV2_URID patchSet = 0, patchGet = 0, patchProperty = 0, patchValue = 0;
  LV2_URID chunk = 0, tempo = 0, program = 0;
  // UI -> DSP
  LV2_URID selectProgram = 0, renameProgram = 0, midiLearn = 0, midiForget = 0, manualTempo = 0, loadPreset = 0,
           loadBank = 0, loadMidi = 0, loadPresetReversed = 0, loadBankReversed = 0, loadMidiReversed = 0,
           savePreset = 0, saveBank = 0, saveMidi = 0, storeUserImage = 0, recallUserImage = 0, removeUserImage = 0;
  // DSP -> UI
  LV2_URID programNames = 0, currentProgram = 0, programNameShown = 0, tempoNow = 0, hostTime = 0, controllers = 0,
           learning = 0, forgetting = 0, rangeExceeded = 0, folder = 0, lastNames = 0, barMessage = 0,
           parameterValues = 0, linkSuggested = 0;
};

}  // namespace lv2plugin
