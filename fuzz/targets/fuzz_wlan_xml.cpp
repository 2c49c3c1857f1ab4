// The WLAN profile reader on any document: it never crashes, and a name it
// reads is non-empty and well-formed UTF-8.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "wlan_profile_xml.h"

namespace {

bool IsUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += n;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string document(reinterpret_cast<const char*>(data), size);
  if (auto profile = netsh::ReadProfile(document)) {
    fuzz::Check(!profile->name.empty(), "a profile without a name was read");
    fuzz::Check(IsUtf8(profile->name), "a name that is not UTF-8: " + fuzz::Escaped(profile->name));
  }
  return 0;
}
