#include "profile_reply.h"

#include <algorithm>
#include <cstring>

#include "winsim/codepage.h"

namespace winsim::profile {

namespace {

// A list of names each followed by NUL; when that and the final NUL do not
// fit with one unit to spare, it is cut to nSize-2 units and two NULs.
template <typename String>
void CutList(String all, DWORD nSize, String* out, DWORD* length) {
  using Unit = typename String::value_type;
  if (all.size() + 2 <= nSize) {
    *length = static_cast<DWORD>(all.size());
    *out = std::move(all);
    out->push_back(Unit{0});
    return;
  }
  if (nSize == 1) {
    out->assign(1, Unit{0});
    *length = 0;
    return;
  }
  out->assign(all, 0, nSize - 2);
  out->append(2, Unit{0});
  *length = nSize - 2;
}

}  // namespace

AnsiReply FormatAnsiList(const std::vector<std::u16string>& names, DWORD nSize) {
  AnsiReply reply;
  if (nSize == 0) return reply;
  const unsigned codepage = ActiveCodePage();
  std::string all;
  for (const auto& name : names) {
    all += FromUtf16(name, codepage);
    all.push_back('\0');
  }
  CutList(std::move(all), nSize, &reply.bytes, &reply.length);
  return reply;
}

WideReply FormatWideReply(const ProfileAnswer& answer, DWORD nSize) {
  WideReply reply;
  if (nSize == 0) return reply;
  if (!answer.isList) {
    size_t n = std::min<size_t>(answer.text.size(), nSize - 1);
    reply.chars.assign(answer.text, 0, n);
    reply.chars.push_back(u'\0');
    reply.length = static_cast<DWORD>(n);
    return reply;
  }
  std::u16string all;
  for (const auto& name : answer.names) {
    all += name;
    all.push_back(u'\0');
  }
  CutList(std::move(all), nSize, &reply.chars, &reply.length);
  return reply;
}

size_t EncodeAnsiInto(std::u16string_view text, char* out, size_t capacity, bool* complete) {
  unsigned codepage = ActiveCodePage();
  std::string whole = FromUtf16(text, codepage);
  if (whole.size() <= capacity) {
    std::memcpy(out, whole.data(), whole.size());
    *complete = true;
    return whole.size();
  }
  // Too long: write character by character while whole ones fit.
  size_t written = 0;
  for (size_t i = 0; i < text.size();) {
    size_t units = 1;
    if (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF)
      units = 2;
    std::string bytes = FromUtf16(text.substr(i, units), codepage);
    if (written + bytes.size() > capacity) break;
    std::memcpy(out + written, bytes.data(), bytes.size());
    written += bytes.size();
    i += units;
  }
  *complete = false;
  return written;
}

}  // namespace winsim::profile
