#include "registry_strings.h"

#include <cstring>

#include "winsim/codepage.h"

namespace winsim::registry {
namespace {

bool NeedsTerminator(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

std::string_view AsBytes(std::u16string_view text) {
  return {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)};
}

}  // namespace

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

std::string StoredFromWide(DWORD type, std::string_view data) {
  std::string stored(data);
  if (!NeedsTerminator(type) || stored.empty()) return stored;
  size_t whole = stored.size() / 2;  // complete characters
  bool terminated = whole > 0 && stored[2 * whole - 2] == 0 && stored[2 * whole - 1] == 0;
  if (!terminated) stored.append(2, '\0');
  return stored;
}

std::string StoredFromAnsi(DWORD type, std::string_view data, unsigned codepage) {
  if (!IsStringType(type)) return std::string(data);
  return StoredFromWide(type, AsBytes(ToUtf16(data, codepage)));
}

std::string AnsiFromStored(DWORD type, std::string_view stored, unsigned codepage) {
  if (!IsStringType(type)) return std::string(stored);
  std::u16string text(stored.size() / 2, u'\0');
  std::memcpy(text.data(), stored.data(), text.size() * sizeof(char16_t));
  return FromUtf16(text, codepage);
}

LONG CopyData(std::string_view bytes, LPBYTE data, LPDWORD cbData) {
  if (data && !cbData) return ERROR_INVALID_PARAMETER;
  if (!cbData) return ERROR_SUCCESS;
  DWORD needed = static_cast<DWORD>(bytes.size());
  if (data) {
    if (*cbData < needed) {
      *cbData = needed;
      return ERROR_MORE_DATA;
    }
    if (needed) std::memcpy(data, bytes.data(), needed);
  }
  *cbData = needed;
  return ERROR_SUCCESS;
}

}  // namespace winsim::registry
