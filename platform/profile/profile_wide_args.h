// Arguments of the A functions, converted from the machine's code page.
#pragma once
#include <optional>
#include <string>

#include "windef.h"
#include "winsim/codepage.h"

namespace winsim::profile {

// A converted string argument that stays NULL when it was NULL.
class WideArg {
 public:
  explicit WideArg(const char* text) {
    if (text) text_ = AnsiToUtf16(text);
  }
  const WCHAR* get() const { return text_ ? text_->c_str() : nullptr; }

 private:
  std::optional<std::u16string> text_;
};

}  // namespace winsim::profile
