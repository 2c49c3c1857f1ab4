#include "host_font_config.h"

#include <fontconfig/fontconfig.h>

namespace winsim::desktop {

bool MakeHostFontConfigCurrent() {
  FcConfig* config = FcConfigCreate();
  if (!config) return false;
  // The file the font system itself would read: FONTCONFIG_FILE, or the
  // host's fonts.conf with everything it includes.
  bool loaded = FcConfigParseAndLoad(config, nullptr, FcTrue) == FcTrue;
  // Without a cache folder the font system adds its default ones before it
  // scans; such a host is left to it.
  if (loaded) {
    FcStrList* cacheDirs = FcConfigGetCacheDirs(config);
    loaded = cacheDirs && FcStrListNext(cacheDirs) != nullptr;
    if (cacheDirs) FcStrListDone(cacheDirs);
  }
  loaded = loaded && FcConfigBuildFonts(config) == FcTrue;
  if (!loaded || FcConfigSetCurrent(config) != FcTrue) {
    FcConfigDestroy(config);
    return false;
  }
  // The current configuration lives as long as the process: the reference
  // made here is never given back (whether FcConfigSetCurrent takes one of
  // its own differs between versions of the font system).
  return true;
}

}  // namespace winsim::desktop
