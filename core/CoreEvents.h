// What the plug-in core tells the world around it. A format adapter
// implements it: it passes the host's part to its host (an automated write,
// the edit brackets, "read the parameters again") and the panel's part to
// the panel it shows, directly or through its own messages. The core never
// calls anything else, so a second plug-in format needs no change to it.
//
// Calls come on whatever thread made the change (a host's parameter write,
// a controller on the audio thread, a file command on the GUI thread); the
// core holds no lock while it makes them.
#pragma once

namespace core {

class CoreEvents {
 public:
  // ---- for the host
  // The user's edit of a host parameter, written inside a begin/end bracket
  // so that the host can record it as automation.
  virtual void beginHostEdit(int /*index*/) {}
  virtual void automate(int /*index*/, float /*value*/) {}
  virtual void endHostEdit(int /*index*/) {}
  // Values changed that the host did not write (a program applied, a value
  // derived from another, a program renamed): read them all again.
  virtual void parametersChanged() {}

  // ---- for the panel
  // A parameter's new value, from whatever source (index 0..119).
  virtual void parameterChanged(int /*index*/, float /*value*/) {}
  // The tempo the note values count with, after every update.
  virtual void tempoChanged(double /*bpm*/) {}
  // LINK as a program suggests it: off while a program is applied, on after
  // it when its two sides mirror each other.
  virtual void linkSuggested(bool /*on*/) {}
  // A program was applied: its name and the program menu follow.
  virtual void programChanged() {}
  // A name to show in the name field now (the current program was renamed
  // or a preset image brought its name).
  virtual void programNameShown(const char* /*name*/) {}
  // Several programs' names changed at once (a bank image).
  virtual void programNamesChanged() {}
  // MIDI learn or forget ended by itself (a controller was learnt, a
  // parameter forgotten): the buttons come up.
  virtual void learnEnded() {}
  virtual void forgetEnded() {}

 protected:
  ~CoreEvents() = default;
};

}  // namespace core
