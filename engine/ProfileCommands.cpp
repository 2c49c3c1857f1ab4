#include "ProfileCommands.h"

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

}  // namespace profiles
