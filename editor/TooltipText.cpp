#include "editor/TooltipText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "editor/PanelLayout.h"
#include "editor/programbar/CPresetSystemEditor.h"
#include "engine/NoteValues.h"
#include "params/ParameterTable.h"
#include "params/Steps.h"

namespace editor {

namespace {

using namespace params;
namespace panel = editor::panel;

constexpr int kTempoReadout = 61;
constexpr size_t kTextSize = 64;

// The long name with its side as the panel edits it now: "Feedback gain
// (left)" becomes "(right)" or "(both)".
std::string sideName(const char* longName, SideChoice sides) {
  std::string name = longName;
  const auto open = name.rfind(" (");
  if (open != std::string::npos && (name.ends_with("(left)") || name.ends_with("(right)")))
    name.erase(open);
  return name + (sides.linked ? " (both)" : sides.right ? " (right)" : " (left)");
}

std::string ms(double value);

// A number to the precision its unit is read at: decibels to a tenth, hertz
// to three figures, percent whole; never "-0".
std::string number(double value, const std::string& unit) {
  int decimals = 2;
  if (unit == "dB") decimals = 1;
  else if (unit == "%") decimals = 0;
  else if (unit == "Hz") decimals = value < 10.0 ? 2 : value < 100.0 ? 1 : 0;
  const double step = std::pow(10.0, -decimals);
  double shown = std::round(value / step) * step;
  if (shown == 0.0) shown = 0.0;
  char s[kTextSize];
  std::snprintf(s, sizeof s, "%.*f", decimals, shown);
  return unit.empty() ? s : std::string(s) + " " + unit;
}

// The value as the host shows it, a plain number rounded for reading and
// followed by its unit ("-6.0 dB", no gain at all "−∞ dB"); a text of words
// or shares ("HPF", "L:50<>50:R") as it is.
std::string valueText(EditorHost& host, int index) {
  char display[kTextSize] = "", label[kTextSize] = "";
  host.getParameterText(index, display, label);
  if (std::strcmp(display, "-oo") == 0) return std::string("\u2212\u221e ") + label;  // silence
  char* end = nullptr;
  const double value = std::strtod(display, &end);
  if (end == display || *end != 0) return display;
  return std::string(label) == "ms" ? ms(value) : number(value, label);
}

double playedMs(EditorHost& host, int timeIndex) {
  char display[kTextSize] = "", label[kTextSize] = "";
  host.getParameterText(timeIndex, display, label);
  return std::strtod(display, nullptr);
}

// The four-digit display's number as a value: the tempo to a tenth of a BPM.
double readoutNumber(const ParameterReadout& r) {
  return r.decimalCode >= 1 && r.decimalCode <= 3 ? r.digits / std::pow(10.0, 4 - r.decimalCode) : r.digits;
}

double tempoOf(EditorHost& host) {
  ParameterReadout r;
  host.getParameterReadout(kTempoReadout, r);
  const double bpm = readoutNumber(r);
  return bpm > 0.0 ? bpm : 120.0;
}

std::string ms(double value) {
  char s[kTextSize];
  std::snprintf(s, sizeof s, value < 100.0 ? "%.1f ms" : "%.0f ms", value);
  return s;
}

std::string fraction(double num, double den) {
  char s[kTextSize];
  std::snprintf(s, sizeof s, "%d/%d", static_cast<int>(num), static_cast<int>(den));
  return s;
}

// A time in milliseconds and the note value of the panel's lists nearest to
// it at the tempo: "=" where it is that note value to the millisecond.
std::string timeAsNote(double value, double bpm) {
  int bestNum = 1, bestDen = 1;
  double bestGap = INFINITY;
  for (int num : engine::kDelayNumerators)
    for (int den : engine::kDenominators) {
      const double gap = std::fabs(engine::noteMs(num, den, bpm) - value);
      if (gap < bestGap) bestGap = gap, bestNum = num, bestDen = den;
    }
  return ms(value) + (bestGap < 0.5 ? " = " : " \u2248 ") + fraction(bestNum, bestDen);
}

std::string mainTime(EditorHost& host, SideChoice sides) {
  const DelayTimeModel& side = host.delayTime(sides.right);
  const double played = playedMs(host, sides.right ? DlyTimeR : DlyTimeL);
  const std::string name = sideName("Main time", sides) + ": ";
  if (side.timeMode()) return name + timeAsNote(played, tempoOf(host));
  std::string text = name + fraction(side.numerator(), side.denominator()) + " = " + ms(played);
  if (side.noteTimeTooLong()) text += " (the longest the lines hold)";
  return text;
}

// The pre-delay: a fraction of the side's delay time.
std::string preTime(EditorHost& host, SideChoice sides) {
  ParameterReadout r;
  host.getParameterReadout(sides.right ? PreNumR : PreNumL, r);
  const double delay = playedMs(host, sides.right ? DlyTimeR : DlyTimeL);
  const double pre = r.denominator > 0 ? std::fmin(delay * r.numerator / r.denominator, delay) : 0.0;
  return sideName("Pre-delay", sides) + ": " + fraction(r.numerator, r.denominator) + " of the delay = " + ms(pre);
}

std::string lfoRate(EditorHost& host) {
  if (steps(host.getParameter(LfoMode), 3) == 0) return "LFO rate: " + valueText(host, LFORate);
  ParameterReadout r;
  host.getParameterReadout(LfoNum, r);
  const double period = r.denominator > 0 ? engine::noteMs(r.numerator, r.denominator, tempoOf(host)) : 0.0;
  return "LFO rate: " + fraction(r.numerator, r.denominator) + " = " + ms(period);
}

std::string tempo(EditorHost& host) {
  char s[kTextSize];
  std::snprintf(s, sizeof s, "Tempo: %.1f BPM", tempoOf(host));
  return std::string(s) + (host.hostTimeActive() ? " (from the host)" : " (drag to set)");
}

// The program bar's controls, in words; the default buttons act only on a
// double-click.
const char* barText(int tag) {
  using namespace presets;
  switch (tag) {
    case kTagProgramName: return "Program name: click to rename";
    case kTagProgramRocker: return "Previous / next program";
    case kTagProgramMenu: return "Program list";
    case kTagLoadBank: return "Load bank from a file (right-click: byte-reversed)";
    case kTagSaveBank: return "Save bank to a file";
    case kTagLoadPreset: return "Load preset from a file (right-click: byte-reversed)";
    case kTagSavePreset: return "Save preset to a file";
    case kTagLoadMidi: return "Load MIDI controller settings from a file";
    case kTagSaveMidi: return "Save MIDI controller settings to a file";
    case kTagMidiLearn: return "MIDI learn: move a control, then a controller";
    case kTagMidiForget: return "MIDI forget: move a control to drop its controller";
    case kTagDefaultBank:
      return "Default bank: double-click stores this bank for new instances, Ctrl + double-click removes it";
    case kTagDefaultPreset:
      return "Default preset: double-click stores this program for new instances, Ctrl + double-click removes it";
    case kTagDefaultMidi: return "Default MIDI settings: double-click stores these assignments for new instances";
    case kTagStoreMemoA: return "Store this program in memo A";
    case kTagStoreMemoB: return "Store this program in memo B";
    case kTagRecallMemoA: return "Recall memo A";
    case kTagRecallMemoB: return "Recall memo B";
    default: return "";
  }
}

}  // namespace

std::string tooltipText(EditorHost& host, int tag, SideChoice sides) {
  using enum panel::Tag;
  switch (tag) {
    case kTagMainTimeArea:
    case kTagMainNum:
    case kTagMainDen: return mainTime(host, sides);
    case kTagPreNum:
    case kTagPreDen: return preTime(host, sides);
    case kTagLfoRateArea:
    case kTagLfoNum:
    case kTagLfoDen: return lfoRate(host);
    case kTagTempoArea: return tempo(host);
    case kTagLink:
      return sides.linked ? "Link: on, an edit goes to both sides (Ctrl- or right-click copies the selected side)"
                          : "Link: off (Ctrl- or right-click turns it on and copies the selected side)";
    case kTagLeft: return sides.right ? "Edit the left delay" : "Editing the left delay";
    case kTagRight: return sides.right ? "Editing the right delay" : "Edit the right delay";
    case kTagAbout: return "About Tavrel";
    case kTagHelp: return "Help (F1 opens the page of the section under the pointer)";
    default: break;
  }
  if (tag >= presets::kTagProgramName) return barText(tag);
  const panel::View* view = panel::findViewByTag(tag);
  if (!view || view->paramLeft < 0) return "";
  const int index = view->side && sides.right ? view->paramRight : view->paramLeft;
  const char* longName = kParameterTable[static_cast<size_t>(index)].longName;
  const std::string name = view->side ? sideName(longName, sides) : longName;
  return name + ": " + valueText(host, index);
}

}  // namespace editor
