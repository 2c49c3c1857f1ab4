// The progress page's elapsed-time text: two-digit minutes and seconds,
// each followed by its unit, nothing between them ("01분15초").
#pragma once
#include "afxwin.h"

CString ElapsedTimeText(int nSeconds, const CString& strMinuteUnit, const CString& strSecondUnit);
