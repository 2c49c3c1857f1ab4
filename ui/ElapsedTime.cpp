#include "ElapsedTime.h"

namespace {

CString TwoDigits(int nValue) {
  CString strText;
  if (nValue >= 10) strText.Format("%d", nValue);
  else strText.Format("0%d", nValue);
  return strText;
}

}  // namespace

CString ElapsedTimeText(int nSeconds, const CString& strMinuteUnit, const CString& strSecondUnit) {
  return TwoDigits(nSeconds / 60) + strMinuteUnit + TwoDigits(nSeconds % 60) + strSecondUnit;
}
