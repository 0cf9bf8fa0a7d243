// The resolution the desktop told the X server's resource database
// (Xft.dpi), the hint desktops set for high-resolution screens.
#pragma once

namespace toolkit {

// Dots per inch from the server named by DISPLAY; 0 when there is no server
// or no such resource.
double serverDpi();

// Reads Xft.dpi out of a resource database text ("Xft.dpi:\t192\n..."); 0
// when it is not there.
double dpiFromResources(const char* resources);

}  // namespace toolkit
