// A menu of entries: its value is the index of the current entry. A click
// opens the list as the frame's modal view, in columns of a set number of
// entries, with the current entry marked; choosing an entry makes it current
// and reports it, a click outside or Escape closes the list unchanged. An
// entry titled "-" is a separator.
#pragma once

#include <string>
#include <vector>

#include "toolkit/CParamDisplay.h"

namespace toolkit {

class COptionMenu : public CParamDisplay {
 public:
  COptionMenu(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background = nullptr,
              int32_t style = 0);

  // Appends (index -1) or inserts an entry; false when the title is null.
  bool addEntry(const char* title, int32_t index = -1);
  bool setEntry(int32_t index, const char* title);
  bool removeEntry(int32_t index);
  void removeAllEntry();
  int32_t getNbEntries() const { return static_cast<int32_t>(entries_.size()); }
  // The title of an entry, or null.
  const char* getEntry(int32_t index) const;
  bool setCurrent(int32_t index);
  int32_t getCurrent() const;
  void setNbItemsPerColumn(int32_t n) { perColumn_ = n > 0 ? n : 16; }
  int32_t getNbItemsPerColumn() const { return perColumn_; }

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override;

  // Whether the list is open, and choosing from it as a click would.
  bool isPopupOpen() const;
  void choose(int32_t index);

  TOOLKIT_CLASS_METHODS(COptionMenu, CParamDisplay)

 private:
  friend class COptionMenuPopup;
  std::vector<std::string> entries_;
  int32_t perColumn_ = 16;
  CView* popup_ = nullptr;  // held by the frame while open
};

}  // namespace toolkit
