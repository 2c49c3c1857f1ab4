#include "TextLines.h"

namespace textlines {

CString TakeLine(CString& text) {
  CString strLine;
  if (text.Left(2) == "$$") {
    text = text.Mid(2);
    const int nEnd = text.Find("$$");
    if (nEnd >= 0) strLine = text.Left(nEnd);
  }
  if (!strLine.IsEmpty()) text.Replace(strLine, "");
  return strLine;
}

}  // namespace textlines
