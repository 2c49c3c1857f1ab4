#include "registry_strings.h"

#include <cstring>

#include "winsim/codepage.h"

namespace winsim::registry {

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

DWORD AnsiDataSize(DWORD type, const BYTE* data, DWORD cbData) {
  if (!data || !cbData || !IsStringType(type)) return cbData;
  return data[cbData - 1] && !data[cbData] ? cbData + 1 : cbData;
}

DWORD WideDataSize(DWORD type, const BYTE* data, DWORD cbData) {
  if (!data || cbData < sizeof(char16_t) || !IsStringType(type)) return cbData;
  const size_t last = cbData / sizeof(char16_t) - 1;
  char16_t lastChar = 0, nextChar = 0;
  std::memcpy(&lastChar, data + last * sizeof(char16_t), sizeof lastChar);
  if (!lastChar) return cbData;  // terminated: nothing past cbData is read
  std::memcpy(&nextChar, data + (last + 1) * sizeof(char16_t), sizeof nextChar);
  return nextChar ? cbData : cbData + static_cast<DWORD>(sizeof(char16_t));
}

std::string StoredFromAnsi(DWORD type, std::string_view data, unsigned codepage) {
  if (!IsStringType(type)) return std::string(data);
  std::u16string text = ToUtf16(data, codepage);
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
}

std::string AnsiFromStored(DWORD type, std::string_view stored, unsigned codepage) {
  if (!IsStringType(type)) return std::string(stored);
  std::u16string text(stored.size() / 2, u'\0');
  std::memcpy(text.data(), stored.data(), text.size() * sizeof(char16_t));
  return FromUtf16(text, codepage);
}

LONG CopyData(std::string_view bytes, LPBYTE data, DWORD capacity, bool ansiString) {
  if (!data) return ERROR_SUCCESS;
  if (capacity < bytes.size()) return ERROR_MORE_DATA;
  if (bytes.empty()) return ERROR_SUCCESS;
  std::memcpy(data, bytes.data(), bytes.size());
  if (ansiString && bytes.size() < capacity && bytes.back() != '\0') data[bytes.size()] = 0;
  return ERROR_SUCCESS;
}

}  // namespace winsim::registry
