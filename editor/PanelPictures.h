// The panel's and the program bar's pictures, embedded in the plug-in, handed
// to the toolkit, which draws them by id.
#pragma once

namespace editor {

// Installs the embedded pictures as the toolkit's picture source; an editor
// does this before it builds any view.
void usePanelPictures();

}  // namespace editor
