#include "CommandProgram.h"

namespace cmdrun {

CString ProgramPath(const CString& strCommandLine) {
  CString strLine = strCommandLine;
  strLine.TrimLeft();
  CString strToken;
  if (!strLine.IsEmpty() && strLine[0] == '"') {
    const int nClose = strLine.Find('"', 1);
    strToken = nClose < 0 ? strLine.Mid(1) : strLine.Mid(1, nClose - 1);
  } else {
    const int nBlank = strLine.FindOneOf(" \t");
    strToken = nBlank < 0 ? strLine : strLine.Left(nBlank);
  }
  if (strToken.IsEmpty()) return CString();

  CString strPath = strToken;
  if (strToken.FindOneOf("\\/:") < 0) {
    char szSystem[MAX_PATH] = {0};
    GetSystemDirectoryA(szSystem, MAX_PATH);
    strPath = CString(szSystem) + "\\" + strToken;
  }
  const int nNameStart = strPath.ReverseFind('\\') + 1;
  if (strPath.Mid(nNameStart).Find('.') < 0) strPath += ".exe";
  return strPath;
}

}  // namespace cmdrun
