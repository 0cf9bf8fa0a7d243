// What a tooltip says about a view of the panel or the program bar: the
// control's name in words and its value with its unit. Side-dependent
// controls name the side they edit now, "(both)" while LINK is on; the time
// controls give the delay in milliseconds and as a note value at the current
// tempo; buttons that act only on a double-click say what it does.
#pragma once

#include <string>

#include "editor/EditorHost.h"

namespace editor {

// Which delay side the panel edits: the selected one, or both with LINK.
struct SideChoice {
  bool right = false;
  bool linked = false;
};

// The text for the view with this tag; empty for a view without a tooltip
// (the display's digits, the meters).
std::string tooltipText(EditorHost& host, int tag, SideChoice sides);

}  // namespace editor
