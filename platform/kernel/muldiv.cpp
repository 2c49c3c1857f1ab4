// MulDiv: nNumber * nNumerator / nDenominator with a 64-bit product,
// rounded half away from zero; -1 when the denominator is 0 or the result
// is beyond ±2147483647 (INT_MIN too, as on Windows).
#include "windows.h"

extern "C" int WINAPI MulDiv(int nNumber, int nNumerator, int nDenominator) {
  if (nDenominator == 0) return -1;
  long long product = static_cast<long long>(nNumber) * nNumerator;
  long long divisor = nDenominator < 0 ? -static_cast<long long>(nDenominator) : nDenominator;
  bool negative = (product < 0) != (nDenominator < 0);
  long long magnitude = ((product < 0 ? -product : product) + divisor / 2) / divisor;
  long long result = negative ? -magnitude : magnitude;
  if (result > 2147483647LL || result < -2147483647LL) return -1;
  return static_cast<int>(result);
}
