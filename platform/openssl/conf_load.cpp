// OpenSSL's configuration reader opens its file with the C library; on
// Windows that library takes Windows paths. Programs of the machine are
// linked with --wrap=CONF_load, so their calls land here and reach OpenSSL
// with the host path behind the Windows one; when OpenSSL is linked from
// its archive, its own fopen calls already reach the machine's C library.
#include <openssl/conf.h>

#include "winsim/paths.h"

extern "C" {
LHASH_OF(CONF_VALUE) * __real_CONF_load(LHASH_OF(CONF_VALUE) * conf, const char* file, long* eline);

LHASH_OF(CONF_VALUE) * __wrap_CONF_load(LHASH_OF(CONF_VALUE) * conf, const char* file, long* eline) {
#ifdef WINSIM_CRYPTO_FROM_ARCHIVE
  // Linked from the archive, OpenSSL opens the file with the machine's C
  // library (the programs' fopen is wrapped), which takes Windows paths as
  // the C runtime of Windows does.
  return __real_CONF_load(conf, file, eline);
#endif
  if (!file) return __real_CONF_load(conf, file, eline);
  winsim::ResolvedPath resolved = winsim::ResolvePathA(file);
  if (resolved.error || !resolved.exists || resolved.isDirectory) return nullptr;  // as for a missing file
  return __real_CONF_load(conf, resolved.host.c_str(), eline);
}
}
