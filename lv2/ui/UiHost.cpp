#include "lv2/ui/UiHost.h"

#include "toolkit/X11Window.h"

#include <lv2/atom/util.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>

#include "editor/Editor.h"
#include "lv2/Uris.h"
#include "params/ParameterText.h"
#include "state/ProgramRecord.h"

namespace lv2ui {

using namespace params;
using lv2plugin::parameterPort;

namespace {

// The two write-only switches: the DSP acts on them, the panel reads them on.
bool writeOnly(int index) { return index == DriveSwitch || index == CutfModSwitch; }

}  // namespace

UiHost::UiHost(LV2_URID_Map* map, const HostFeatures& features) : writer_(map), host_(features) {
  controllers_.fill(kNoController);
}

void UiHost::requestState() { send(writer_.getAll()); }

// ------------------------------------------------------------- parameters

float UiHost::getParameter(int index) {
  if (!isHostParameter(index)) return 0.0f;
  if (writeOnly(index)) return 1.0f;
  return static_cast<float>(mirror_.normalised(index));
}

// Not the user's edit: the port is written without a bracket.
void UiHost::setParameter(int index, float value) {
  if (!isHostParameter(index) || !std::isfinite(value)) return;
  applyToMirror(index, value);
  writePort(index, value);
}

void UiHost::performParameterEdit(int index, float value) { setParameter(index, value); }

void UiHost::applyToMirror(int index, float value) {
  SettledValues settled;
  if (!writeOnly(index)) settled = mirror_.apply(index, value).settled;
  if (!panel_) return;
  panel_->setParameter(index, value);
  for (const ParameterValue& derived : settled) panel_->setParameter(derived.index, derived.value);
}

void UiHost::writePort(int index, float value) {
  ports_[static_cast<size_t>(index)] = value;
  portKnown_[static_cast<size_t>(index)] = true;
  if (host_.write) host_.write(host_.controller, parameterPort(index), sizeof(float), 0, &value);
}

void UiHost::touch(int index, bool grabbed) {
  if (host_.touch && isHostParameter(index)) host_.touch->touch(host_.touch->handle, parameterPort(index), grabbed);
}

void UiHost::getParameterReadout(int index, ParameterReadout& readout) const {
  parameterReadout(mirror_, index, readout);
}

void UiHost::getParameterText(int index, char* display, char* label) {
  parameterDisplay(mirror_, index, display);
  parameterLabel(index, label);
}

// The mirror's rule, each value that changes written to its port inside a
// bracket of its own, as the DSP would get them from the VST 2.4 panel.
void UiHost::copyChannelSettings(bool rightToLeft) {
  const int from = rightToLeft ? engine::kRight : engine::kLeft;
  mirror_.delayTime(from).copyTo(mirror_.delayTime(1 - from), [this](int index, float value) {
    touch(index, true);
    applyToMirror(index, value);
    writePort(index, value);
    touch(index, false);
  });
}

bool UiHost::syncRangeExceeded(int selector) const {
  if (rangeExceeded_ < 0) return mirror_.syncRangeExceeded(selector);
  return (rangeExceeded_ & selector) != 0;
}

// ------------------------------------------------------- tempo and meters

void UiHost::setManualTempo(double position) {
  mirror_.setManualTempo(position);
  mirror_.updateSyncedTimes(kSyncAll);
  if (panel_) panel_->tempoChanged(mirror_.tempo());
  send(writer_.setDouble(Key::ManualTempo, position));
}

void UiHost::tempoFromDsp(double bpm) {
  if (!std::isfinite(bpm) || bpm <= 0.0) return;
  mirror_.setTempo(bpm);
  mirror_.updateSyncedTimes(kSyncAll);
  if (panel_) panel_->tempoChanged(bpm);
}

void UiHost::readInputPeaks(float& left, float& right) {
  left = peaks_[0];
  right = peaks_[1];
}

// A host without ui:resize lets the child window size itself.
// The window the host holds grows or shrinks with the panel whether or not
// the host can be asked: the panel's own window is made again inside it.
bool UiHost::resizeEditorWindow(int width, int height) {
  if (host_.resize && host_.resize->ui_resize(host_.resize->handle, width, height) != 0) return false;
  if (host_.container) host_.container->resize(width, height);
  return true;
}

// --------------------------------------------------------------- programs

void UiHost::copyProgramName(int index, char* name) {
  std::string text;
  if (index >= 0 && static_cast<size_t>(index) < programNames_.size()) text = programNames_[static_cast<size_t>(index)];
  const size_t n = std::min(text.size(), static_cast<size_t>(state::kNameSize));
  std::memcpy(name, text.data(), n);
  name[n] = '\0';
}

// The program is current here at once (the DSP confirms it), so that the
// bar's rename after it names the right one.
void UiHost::selectProgram(int index) {
  if (index < 0 || index >= state::kNumPrograms) return;
  currentProgram_ = index;
  send(writer_.setInt(Key::SelectProgram, index));
}

// The bar renames the program it chose to the name it read from here; until
// the DSP has sent the names that would be an empty name over a real one.
void UiHost::renameCurrentProgram(const char* name) {
  if (!name || programNames_.empty()) return;
  if (static_cast<size_t>(currentProgram_) < programNames_.size())
    programNames_[static_cast<size_t>(currentProgram_)] = std::string(name).substr(0, state::kNameSize);
  send(writer_.setString(Key::RenameProgram, name));
}

// ---------------------------------------------- files, defaults and memos

// The file work is the DSP's, off its audio thread; whether it succeeded
// comes back as the values and names it sends. The panel only asked.
bool UiHost::loadFile(FileKind kind, const std::string& path, bool reversed) {
  static constexpr Key plain[] = {Key::LoadBank, Key::LoadPreset, Key::LoadMidi};
  static constexpr Key swapped[] = {Key::LoadBankReversed, Key::LoadPresetReversed, Key::LoadMidiReversed};
  if (kind < FileKind::Bank || kind > FileKind::Midi) return false;
  const size_t i = static_cast<size_t>(kind - FileKind::Bank);
  return send(writer_.setPath(reversed ? swapped[i] : plain[i], path)), true;
}

bool UiHost::saveFile(FileKind kind, const std::string& path) {
  static constexpr Key keys[] = {Key::SaveBank, Key::SavePreset, Key::SaveMidi};
  if (kind < FileKind::Bank || kind > FileKind::Midi) return false;
  return send(writer_.setPath(keys[static_cast<size_t>(kind - FileKind::Bank)], path)), true;
}

std::string UiHost::lastFileName(FileKind kind) {
  if (kind < FileKind::Bank || kind > FileKind::Midi) return {};
  return lastNames_[static_cast<size_t>(kind)];
}

void UiHost::storeUserImage(state::UserImage which) {
  send(writer_.setInt(Key::StoreUserImage, static_cast<int>(which)));
}
void UiHost::recallUserImage(state::UserImage which) {
  send(writer_.setInt(Key::RecallUserImage, static_cast<int>(which)));
}
void UiHost::removeUserImage(state::UserImage which) {
  send(writer_.setInt(Key::RemoveUserImage, static_cast<int>(which)));
}

int UiHost::getControllerForParameter(int param) {
  return isHostParameter(param) ? controllers_[static_cast<size_t>(param)] : kNoController;
}

// --------------------------------------------------------------- messages

void UiHost::send(const LV2_Atom* message) {
  if (!message || !host_.write) return;
  host_.write(host_.controller, lv2plugin::kControl, lv2_atom_total_size(message), writer_.vocabulary().eventTransfer,
              message);
}

void UiHost::portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
  if (!buffer) return;
  if (format == 0) {
    if (size < sizeof(float)) return;
    float value;
    std::memcpy(&value, buffer, sizeof value);
    if (!std::isfinite(value)) return;
    if (port == lv2plugin::kMeterL || port == lv2plugin::kMeterR) {
      peaks_[port - lv2plugin::kMeterL] = value;
    } else if (port >= lv2plugin::kFirstParameter && port < lv2plugin::kFirstParameter + kNumParams) {
      const int index = static_cast<int>(port - lv2plugin::kFirstParameter);
      ports_[static_cast<size_t>(index)] = value;
      portKnown_[static_cast<size_t>(index)] = true;
      applyToMirror(index, value);
    }
    return;
  }
  if (format == writer_.vocabulary().eventTransfer && port == lv2plugin::kNotify && size >= sizeof(LV2_Atom)) {
    const auto* atom = static_cast<const LV2_Atom*>(buffer);
    if (lv2_atom_total_size(atom) <= size) receive(atom);
  }
}

namespace {

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

}  // namespace

void UiHost::receive(const LV2_Atom* atom) {
  Message m;
  if (!writer_.read(atom, m)) return;
  switch (m.key) {
    case Key::ProgramNames:
      programNames_ = lines(m.text());
      if (panel_) panel_->refreshProgramMenu();
      break;
    case Key::CurrentProgram:
      currentProgram_ = std::clamp(m.intValue(), 0, state::kNumPrograms - 1);
      if (panel_) panel_->programChanged();
      break;
    case Key::ProgramNameShown:
      if (panel_) panel_->showProgramName(m.text().c_str());
      break;
    case Key::Tempo: tempoFromDsp(m.doubleValue()); break;
    case Key::HostTime: hostTime_ = m.intValue() != 0; break;
    case Key::ManualTempo:
      // The tempo control's position: 0 is the slowest tempo.
      if (const double position = m.doubleValue(); position >= 0.0 && position <= 1.0)
        mirror_.setManualTempo(position);
      break;
    case Key::Controllers: {
      std::istringstream in(m.text());
      for (int& cc : controllers_)
        if (!(in >> cc)) cc = kNoController;
      break;
    }
    // Only the end of a mode the DSP reported releases the button: a report
    // sent before the DSP heard the click must not undo it.
    case Key::Learning:
      if (learning_ && m.intValue() == 0 && panel_) panel_->releaseLearnButton();
      learning_ = m.intValue() != 0;
      break;
    case Key::Forgetting:
      if (forgetting_ && m.intValue() == 0 && panel_) panel_->releaseForgetButton();
      forgetting_ = m.intValue() != 0;
      break;
    case Key::RangeExceeded: rangeExceeded_ = std::max(0, m.intValue()); break;
    case Key::Folder: folder_ = m.text(); break;
    case Key::LastNames: {
      const std::vector<std::string> names = lines(m.text());
      for (size_t i = 0; i < 3 && i < names.size(); ++i) lastNames_[i + 1] = names[i];
      break;
    }
    case Key::ParameterValues: receiveParameterValues(m.value); break;
    case Key::LinkSuggested:
      if (panel_) panel_->setLinked(m.intValue() != 0);
      break;
    case Key::BarMessage:
      if (panel_) panel_->showBarMessage(m.text().c_str());
      break;
    default: break;
  }
}

// The DSP changed values the host did not write (a program, a mode that
// settled a time, a file): each that differs from its port goes to the
// port, so the host's controls and automation agree with what plays.
void UiHost::receiveParameterValues(const LV2_Atom* value) {
  const Vocabulary& words = writer_.vocabulary();
  if (value->type != words.atomVector || value->size < sizeof(LV2_Atom_Vector_Body)) return;
  const auto* vector = reinterpret_cast<const LV2_Atom_Vector*>(value);
  if (vector->body.child_type != words.atomFloat || vector->body.child_size != sizeof(float)) return;
  const size_t count = std::min<size_t>((value->size - sizeof(LV2_Atom_Vector_Body)) / sizeof(float), kNumParams);
  const auto* values = reinterpret_cast<const float*>(&vector->body + 1);
  for (size_t i = 0; i < count; ++i) {
    const int index = static_cast<int>(i);
    const float v = values[i];
    if (writeOnly(index) || !std::isfinite(v)) continue;
    if (portKnown_[i] && ports_[i] == v && mirror_.normalised(index) == v) continue;
    applyToMirror(index, v);
    if (!portKnown_[i] || ports_[i] != v) writePort(index, v);
  }
}

}  // namespace lv2ui
