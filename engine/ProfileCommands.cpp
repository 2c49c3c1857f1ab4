#include "ProfileCommands.h"

#include "InstallLog.h"
#include "SetupPaths.h"

namespace profiles {

CString ProfileName(const CString& strFileName) {
  const int nDot = strFileName.ReverseFind('.');
  return nDot < 0 ? CString() : strFileName.Left(nDot);
}

CString DeleteCommand(const CString& strFileName) {
  // Unquoted, netsh would take only the first word of a name with blanks
  // and remove another profile, or none.
  const CString strName = ProfileName(strFileName);
  if (strName.Find(' ') >= 0) return "netsh wlan delete profile \"" + strName + "\"";
  return "netsh wlan delete profile " + strName;
}

CString AddCommand(const CString& strFileName) {
  return "netsh wlan add profile \"" + CString(setup::kRecoveryFolder) + "\\" + strFileName + "\"";
}

bool IsPlainFileName(const CString& strFileName) {
  if (strFileName.IsEmpty()) return false;
  bool bOnlyDots = true;
  for (int i = 0; i < strFileName.GetLength(); ++i) {
    const unsigned char ch = static_cast<unsigned char>(strFileName[i]);
    // Code page 949 never uses these bytes as the second byte of a
    // double-byte character, so a byte-wise test is exact.
    if (ch < 0x20 || ch == 0x7F) return false;
    switch (ch) {
      case '\\': case '/': case ':': case '"': case '<': case '>': case '|': case '?': case '*':
        return false;
      default:
        break;
    }
    if (ch != '.') bOnlyDots = false;
  }
  return !bOnlyDots;
}

bool UseEntry(LPCSTR pszCaller, LPCSTR pszName, LPCSTR pszValue) {
  if (!pszValue || !*pszValue) return false;
  if (IsPlainFileName(pszValue)) return true;
  WriteLog("LVL_ERROR::CProgressDlg::%s 프로파일 설정 오류(파일 이름이 아님), 건너뜀 : [BASIC_PROFILE] %s=%s", pszCaller,
           pszName ? pszName : "", pszValue);
  return false;
}

}  // namespace profiles
