// The program store: the 61 programs and which of them is current. The
// audio thread (MIDI, automation) and the user's thread (host, editor,
// chunks) write the current program's values at once: the values and the
// current index are relaxed atomics.
#pragma once

#include <memory>

#include "engine/Relaxed.h"
#include "state/ProgramRecord.h"

namespace state {

class ProgramStore {
 public:
  // The factory programs, the first one current.
  ProgramStore();

  ProgramRecord* programs() { return programs_.get(); }
  const ProgramRecord* programs() const { return programs_.get(); }
  ProgramRecord& operator[](int index) { return programs_[index]; }
  const ProgramRecord& operator[](int index) const { return programs_[index]; }

  int current() const { return current_.get(); }
  void setCurrent(int index) { current_ = index; }
  ProgramRecord& currentProgram() { return programs_[current_.get()]; }

  // A host parameter's value into the current program; other indices are ignored.
  void storeValue(int index, float value);
  void loadFactoryPrograms();
  // Program `index`'s name, all 24 bytes and a terminator, into `text`.
  void copyName(int index, char* text) const;

 private:
  std::unique_ptr<ProgramRecord[]> programs_;
  engine::Relaxed<int> current_{0};
};

}  // namespace state
