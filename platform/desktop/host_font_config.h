// The host's font configuration, read without the samples, just before the
// process's first text.
//
// The toolkit's first text asks the host font system to initialise itself.
// That reads the host's configuration (/etc/fonts and the files it
// includes, then the font caches) and, besides, parses every sample
// configuration the host ships, only to be able to describe them: a third
// of the time the font system takes to start, on the thread that is about to
// show the first window. MakeHostFontConfigCurrent reads the same
// configuration the same way, without the samples, and makes it the current
// one; the toolkit then finds the font system initialised and uses it as it
// is.
//
// Call it before anything in the process uses fonts: a configuration made
// current earlier is replaced by an equal one. When the configuration cannot
// be read (no file, a broken file, no font or cache folder named), nothing
// is made current and false is returned: the font system's own
// initialisation then runs as before, with its fallbacks.
#pragma once

namespace winsim::desktop {

// MakeHostFontConfigCurrent, once per process. The desktop calls it where
// text first needs fonts (a window's font made, a message box laid out, text
// drawn, the first paint), not earlier: a first window shown before any of
// these does not wait for the font system.
void EnsureHostFontConfig();

bool MakeHostFontConfigCurrent();

}  // namespace winsim::desktop
