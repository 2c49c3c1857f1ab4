#include "dos_wildcards.h"

#include <cstdint>
#include <vector>

#include "winsim/codepage.h"

namespace winsim::files {
namespace {

enum class Kind : uint8_t { Literal, Star, StarToLastDot, OneOrNone, DotOrEnd };

struct Token {
  Kind kind;
  char16_t c;
};

std::vector<Token> Translate(std::u16string_view pattern) {
  std::vector<Token> tokens;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char16_t c = pattern[i];
    const char16_t next = i + 1 < pattern.size() ? pattern[i + 1] : u'\0';
    if (c == u'?') {
      tokens.push_back({Kind::OneOrNone, 0});
    } else if (c == u'*') {
      tokens.push_back({next == u'.' ? Kind::StarToLastDot : Kind::Star, 0});
    } else if (c == u'.' && (next == u'?' || next == u'*' || next == u'\0')) {
      tokens.push_back({Kind::DotOrEnd, 0});
    } else {
      tokens.push_back({Kind::Literal, UpcaseChar(c)});
    }
  }
  return tokens;
}

class Matcher {
 public:
  Matcher(std::vector<Token> tokens, std::u16string_view name)
      : tokens_(std::move(tokens)), name_(Upcase(name)), memo_((tokens_.size() + 1) * (name_.size() + 1), -1) {
    lastDot_ = name_.find_last_of(u'.');
  }

  bool Match(size_t t, size_t n) {
    int8_t& slot = memo_[t * (name_.size() + 1) + n];
    if (slot < 0) slot = Compute(t, n) ? 1 : 0;
    return slot == 1;
  }

 private:
  bool Compute(size_t t, size_t n) {
    const size_t end = name_.size();
    if (t == tokens_.size()) return n == end;
    const Token& tok = tokens_[t];
    switch (tok.kind) {
      case Kind::Literal:
        return n < end && name_[n] == tok.c && Match(t + 1, n + 1);
      case Kind::Star:
        for (size_t k = n; k <= end; ++k)
          if (Match(t + 1, k)) return true;
        return false;
      case Kind::StarToLastDot: {
        // May not swallow the last dot of the name.
        size_t limit = (lastDot_ != std::u16string::npos && n <= lastDot_) ? lastDot_ : end;
        for (size_t k = n; k <= limit; ++k)
          if (Match(t + 1, k)) return true;
        return false;
      }
      case Kind::OneOrNone:
        if (n < end && name_[n] != u'.' && Match(t + 1, n + 1)) return true;
        return (n == end || name_[n] == u'.') && Match(t + 1, n);
      case Kind::DotOrEnd:
        if (n < end && name_[n] == u'.') return Match(t + 1, n + 1);
        return n == end && Match(t + 1, n);
    }
    return false;
  }

  std::vector<Token> tokens_;
  std::u16string name_;
  std::vector<int8_t> memo_;
  size_t lastDot_;
};

}  // namespace

bool MatchesPattern(std::u16string_view pattern, std::u16string_view name) {
  if (pattern == u"*.*" || pattern == u"*") return true;
  Matcher matcher(Translate(pattern), name);
  return matcher.Match(0, 0);
}

}  // namespace winsim::files
