// The "$$" rule that splits a text into label lines.
#pragma once
#include "afx.h"

namespace textlines {

// Takes the next line out of `text`: when it begins with "$$" those two
// characters are dropped and the line is what comes before the next "$$"
// (empty when there is none); every occurrence of the line is then removed
// from `text`. A text that does not begin with "$$" gives an empty line.
CString TakeLine(CString& text);

}  // namespace textlines
