// A picture of a top-level window with its frame, as the screen shows it.
//
// PrintWindow asks the window to draw itself into the driver's bitmap;
// where that draws nothing (a window of another process may not draw into
// a device context it does not own: Wine's PrintWindow sends WM_PRINT with
// the driver's DC), the screen's pixels under the window are copied
// instead, which needs the window in front (the wizard is a topmost
// window).
#pragma once

#include <windows.h>

#include <string>

#include "image_file.h"

namespace driver {

// False when the window has no area or neither way gave a picture;
// `method` names the way that did ("PrintWindow" or "screen").
bool CaptureWindow(HWND hwnd, Image* image, std::string* method);

}  // namespace driver
