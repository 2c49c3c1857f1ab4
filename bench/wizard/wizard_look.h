// How the Wine prefix shows the wizard for its screenshots.
//
// The dialog templates name "굴림" 9 pt for the pages and "MS Shell Dlg"
// 9 pt for the frame; the layout is drawn for Windows' fonts: the pages'
// dialog units come from Gulim (base units 6 x 12), the frame's from the
// shell font (6 x 14), and a page, 199 units high, ends 2.5 pixels above
// the frame's buttons. Wine has neither font and draws both with the
// Hangul font fontconfig offers (NanumGothic, 7 x 14): the pages grow to
// 348 pixels and cover the buttons. The look maps Gulim to NanumGothicCoding
// (6 x 12 at 9 pt, as Gulim) and the shell font to NanumGothic, so pages
// and buttons keep their places; and it has Wine draw the windows' frames
// and captions itself, as Xvfb runs no window manager to draw them.
#pragma once

#include <string>

namespace winewizard {

// The fonts the look needs (Debian's fonts-nanum), as host paths.
extern const char* const kLookFonts[2];

// A registry file for `reg import`: UTF-16LE with its byte-order mark.
std::string LookRegistryFile();

// UTF-8 to UTF-16LE bytes (characters of the basic plane).
std::string Utf16le(const std::string& utf8);

}  // namespace winewizard
