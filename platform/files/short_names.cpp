#include "short_names.h"

#include <map>
#include <set>
#include <utility>

#include "winsim/codepage.h"

namespace winsim::files {
namespace {

bool IsBadShortChar(char16_t c) {
  if (c < 0x20) return true;
  switch (c) {
    case u' ': case u'"': case u'*': case u'+': case u',': case u'/': case u':': case u';':
    case u'<': case u'=': case u'>': case u'?': case u'[': case u'\\': case u']': case u'|':
      return true;
    default:
      return false;
  }
}

// The code page is looked up once per listing and handed down: looking it
// up reads the machine's settings.
size_t AnsiLength(std::u16string_view text, unsigned cp) { return AnsiSize(text, cp); }

// Up to `limit` bytes of `part`, upper-cased, blanks and dots left out and
// other characters that an 8.3 name may not hold replaced by '_'.
std::u16string ShortPart(std::u16string_view part, size_t limit, unsigned cp) {
  std::u16string out;
  size_t bytes = 0;
  for (char16_t c : part) {
    if (c == u' ' || c == u'.') continue;
    char16_t s = IsBadShortChar(c) ? u'_' : UpcaseChar(c);
    size_t len = AnsiLength(std::u16string_view(&s, 1), cp);
    if (bytes + len > limit) break;
    out.push_back(s);
    bytes += len;
  }
  return out;
}

}  // namespace

bool FitsEightDotThree(std::u16string_view name, unsigned cp) {
  if (name.empty() || name == u"." || name == u"..") return true;
  size_t dot = name.find(u'.');
  if (dot == 0 || (dot != std::u16string::npos && name.find(u'.', dot + 1) != std::u16string::npos)) return false;
  for (char16_t c : name)
    if (c != u'.' && IsBadShortChar(c)) return false;
  std::u16string_view base = name.substr(0, dot);
  std::u16string_view ext = dot == std::u16string::npos ? std::u16string_view() : name.substr(dot + 1);
  if (dot != std::u16string::npos && ext.empty()) return false;
  return AnsiLength(base, cp) <= 8 && AnsiLength(ext, cp) <= 3;
}

std::vector<std::string> AlternateNames(const std::vector<std::u16string>& names, unsigned cp) {
  std::vector<bool> fits(names.size());
  for (size_t i = 0; i < names.size(); ++i) fits[i] = FitsEightDotThree(names[i], cp);
  std::set<std::u16string> taken;
  for (size_t i = 0; i < names.size(); ++i)
    if (fits[i]) taken.insert(Upcase(names[i]));

  // Where the search for a free number of each name family goes on: the
  // numbers below it are taken, and taken names stay taken, so a folder of
  // many similar names is numbered in one pass rather than in a square.
  std::map<std::pair<std::u16string, std::u16string>, unsigned> nextNumber;
  std::vector<std::string> out;
  out.reserve(names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    const std::u16string& name = names[i];
    if (fits[i]) {
      out.emplace_back();
      continue;
    }
    size_t lastDot = name.find_last_of(u'.');
    bool hasExt = lastDot != std::u16string::npos && lastDot > 0 && lastDot + 1 < name.size();
    std::u16string base = ShortPart(hasExt ? std::u16string_view(name).substr(0, lastDot) : name, 6, cp);
    std::u16string ext = hasExt ? ShortPart(std::u16string_view(name).substr(lastDot + 1), 3, cp) : u"";
    if (base.empty()) base = u"_";
    std::u16string candidate;
    unsigned& next = nextNumber.try_emplace({base, ext}, 1u).first->second;
    for (unsigned n = next;; ++n) {
      std::u16string tail = u"~";
      for (char c : std::to_string(n)) tail.push_back(static_cast<char16_t>(c));
      // The number takes the place of the name's last characters when it grows.
      std::u16string stem = base;
      while (!stem.empty() && AnsiLength(stem, cp) + tail.size() > 8) stem.pop_back();
      candidate = stem + tail + (ext.empty() ? u"" : u"." + ext);
      if (taken.insert(candidate).second) {
        next = n + 1;
        break;
      }
    }
    out.push_back(FromUtf16(candidate, cp));
  }
  return out;
}

}  // namespace winsim::files
