#include "host_font_config.h"

#include <fontconfig/fontconfig.h>

#include <mutex>

namespace winsim::desktop {
namespace {

bool NamesAFolder(FcStrList* folders) {
  if (!folders) return false;
  const bool any = FcStrListNext(folders) != nullptr;
  FcStrListDone(folders);
  return any;
}

}  // namespace

void EnsureHostFontConfig() {
  static std::once_flag once;
  std::call_once(once, [] { MakeHostFontConfigCurrent(); });
}

bool MakeHostFontConfigCurrent() {
  FcConfig* config = FcConfigCreate();
  if (!config) return false;
  // The file the font system itself would read: FONTCONFIG_FILE, or the
  // host's fonts.conf with everything it includes. A missing file is not
  // reported here: it names no folder, and the font system's own start,
  // which then runs, says so once.
  bool loaded = FcConfigParseAndLoad(config, nullptr, FcFalse) == FcTrue;
  // Without a font folder or a cache folder the font system falls back to
  // defaults of its own; such a host is left to it.
  loaded = loaded && NamesAFolder(FcConfigGetFontDirs(config)) && NamesAFolder(FcConfigGetCacheDirs(config));
  loaded = loaded && FcConfigBuildFonts(config) == FcTrue;
  if (!loaded || FcConfigSetCurrent(config) != FcTrue) {
    FcConfigDestroy(config);
    return false;
  }
  // Since 2.12 the current configuration holds a reference of its own, and
  // the one made here is given back; before, the current configuration took
  // this one over.
  if (FcGetVersion() >= 21200) FcConfigDestroy(config);
  return true;
}

}  // namespace winsim::desktop
