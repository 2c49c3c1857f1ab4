// OpenSSL's configuration reader opens its file with the C library; on
// Windows that library takes Windows paths. Programs of the machine are
// linked with --wrap=CONF_load, so their calls land here and reach OpenSSL
// with the host path behind the Windows one.
#include <openssl/conf.h>

#include "winsim/paths.h"

extern "C" {
LHASH_OF(CONF_VALUE) * __real_CONF_load(LHASH_OF(CONF_VALUE) * conf, const char* file, long* eline);

LHASH_OF(CONF_VALUE) * __wrap_CONF_load(LHASH_OF(CONF_VALUE) * conf, const char* file, long* eline) {
  if (!file) return __real_CONF_load(conf, file, eline);
  winsim::ResolvedPath resolved = winsim::ResolvePathA(file);
  if (resolved.error || !resolved.exists || resolved.isDirectory) return nullptr;  // as for a missing file
  return __real_CONF_load(conf, resolved.host.c_str(), eline);
}
}
