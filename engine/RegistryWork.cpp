// Registry work: the plug-in's key with its "Common" and "SiteSpecific"
// subkeys and the uninstall entry; removed again on uninstall. Returns 0
// for success, otherwise the Windows error code of the failing call.
#include <cstring>
#include <string>

#include "InstallLog.h"
#include "ProgressDlg.h"
#include "SetupConfig.h"
#include "SetupPaths.h"
#include "VeltraneGtcSetupDlg.h"
#include "shlobj.h"
#include "shlwapi.h"

namespace {

// The wide texts are UTF-16 literals (u"..."); the wide functions take them
// as WCHAR, which is the same 16-bit unit under another type name.
const WCHAR* AsWide(const char16_t* psz) { return reinterpret_cast<const WCHAR*>(psz); }
WCHAR* AsWide(char16_t* psz) { return reinterpret_cast<WCHAR*>(psz); }

// Writes a REG_SZ through the wide function: UTF-16 with its terminator,
// from a zero-filled buffer of 260 characters.
LONG SetWideValue(HKEY hKey, const char16_t* pszName, const char16_t* pszText) {
  char16_t szBuffer[MAX_PATH] = {0};
  size_t nChars = 0;
  while (pszText[nChars] && nChars < MAX_PATH - 1) {
    szBuffer[nChars] = pszText[nChars];
    ++nChars;
  }
  return RegSetValueExW(hKey, AsWide(pszName), 0, REG_SZ, reinterpret_cast<const BYTE*>(szBuffer),
                        static_cast<DWORD>((nChars + 1) * sizeof(WCHAR)));
}

LONG SetAnsiValue(HKEY hKey, LPCSTR pszName, LPCSTR pszText) {
  return RegSetValueExA(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszText),
                        static_cast<DWORD>(std::strlen(pszText) + 1));
}

// An ANSI text in UTF-16 (the machine's code page).
std::u16string Widen(const std::string& strText) {
  const int nChars = MultiByteToWideChar(CP_ACP, 0, strText.c_str(), -1, nullptr, 0);
  std::u16string wide(static_cast<size_t>(nChars > 0 ? nChars : 1), u'\0');
  if (nChars > 0) MultiByteToWideChar(CP_ACP, 0, strText.c_str(), -1, AsWide(wide.data()), nChars);
  wide.resize(wide.size() - 1);
  return wide;
}

const char16_t kRecoveryExe[] = u"C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGtcSetup.exe";

}  // namespace

LONG CProgressDlg::RegisterCommonValue(HKEY* phRootKey) {
  *phRootKey = nullptr;
  HKEY hRootKey = nullptr;
  HKEY hCommonKey = nullptr;
  LONG lResult = RegCreateKeyExA(HKEY_LOCAL_MACHINE, setup::kPluginKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, &hRootKey, nullptr);
  if (lResult != ERROR_SUCCESS) {
    WriteLog("LVL_ERROR::RegisterCommonValue()::Create registry key(rootkey) fail. errorcode:%ld", static_cast<long>(lResult));
    return lResult;
  }
  lResult = RegCreateKeyExW(hRootKey, AsWide(u"Common"), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                            &hCommonKey, nullptr);
  if (lResult != ERROR_SUCCESS) {
    WriteLog("LVL_ERROR::RegisterCommonValue()::Create registry key(commonkey) fail. errorcode:%ld", static_cast<long>(lResult));
    RegCloseKey(hRootKey);
    return lResult;
  }
  char szAppData[MAX_PATH] = {0};
  SHGetSpecialFolderPathA(nullptr, szAppData, CSIDL_APPDATA, FALSE);
  char szLogPath[MAX_PATH] = {0};
  _snprintf_s(szLogPath, sizeof szLogPath, _TRUNCATE, "%s\\Veltrane RAZ", szAppData);

  lResult = SetWideValue(hCommonKey, u"Install Path", u"C:\\Program Files\\Bramblecast\\Veltrane RAZ");
  if (lResult != ERROR_SUCCESS) {
    WriteLog("LVL_ERROR::RegisterCommonValue():: register Install Path value fail. errorcode:%ld", static_cast<long>(lResult));
  } else if ((lResult = SetWideValue(hCommonKey, u"CA Path", u"C:\\Program Files\\Bramblecast\\Veltrane RAZ\\Cert")) !=
             ERROR_SUCCESS) {
    WriteLog("LVL_ERROR::RegisterCommonValue():: register CA Path value fail. errorcode:%ld", static_cast<long>(lResult));
  } else if ((lResult = SetAnsiValue(hCommonKey, "Log Path", szLogPath)) != ERROR_SUCCESS) {
    WriteLog("LVL_ERROR::RegisterCommonValue():: register LOG Path value fail. errorcode:%ld", static_cast<long>(lResult));
  } else {
    WriteLog("LVL_INFO::RegisterCommonValue()::Set registry value(common values) success");
  }
  RegCloseKey(hCommonKey);
  if (lResult == ERROR_SUCCESS) *phRootKey = hRootKey;
  else RegCloseKey(hRootKey);
  return lResult;
}

LONG CProgressDlg::RegisterSiteSpecificValue(HKEY hRootKey) {
  char szCurrent[1024] = {0};
  GetCurrentDirectoryA(sizeof szCurrent, szCurrent);
  char szIniPath[1024] = {0};
  _snprintf_s(szIniPath, sizeof szIniPath, _TRUNCATE, "%s\\VeltraneGTCSetup.ini", szCurrent);

  HKEY hSiteKey = nullptr;
  LONG lResult = RegCreateKeyExW(hRootKey, AsWide(u"SiteSpecific"), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                 nullptr, &hSiteKey, nullptr);
  if (lResult != ERROR_SUCCESS) {
    WriteLog("LVL_ERROR::RegisterSiteSpecificValue()::Create registry key(SiteSpecificKey) fail. errorcode:%ld",
             static_cast<long>(lResult));
    RegCloseKey(hRootKey);
    return lResult;
  }
  // Each failure line is its own literal, so that its format is checked.
  struct Item {
    LPCSTR pszKey;
    void (*logFailure)(long lError);
  };
  const Item items[] = {
      {"UseAutoConnection",
       [](long lError) {
         WriteLog("LVL_ERROR::RegisterSiteSpecificValue():: register AutoConnection value fail. errorcode:%ld", lError);
       }},
      {"ID",
       [](long lError) { WriteLog("LVL_ERROR::RegisterSiteSpecificValue():: register ID value fail. errorcode:%ld", lError); }},
      {"Password",
       [](long lError) {
         WriteLog("LVL_ERROR::RegisterSiteSpecificValue():: register Pass value fail. errorcode:%ld", lError);
       }},
  };
  for (const Item& item : items) {
    const std::string strValue = setup::ReadConfigValue("SITE_SPECIFIC", item.pszKey, MAX_PATH, szIniPath);
    lResult = SetAnsiValue(hSiteKey, item.pszKey, strValue.c_str());
    if (lResult != ERROR_SUCCESS) {
      item.logFailure(static_cast<long>(lResult));
      break;
    }
  }
  if (lResult == ERROR_SUCCESS) {
    WriteLog("LVL_INFO::RegisterSiteSpecificValue()::Set registry value(SiteSpecific values) success");
  }
  RegCloseKey(hSiteKey);
  RegCloseKey(hRootKey);
  return lResult;
}

LONG CProgressDlg::RegisterControlValue() {
  HKEY hKey = nullptr;
  LONG lResult = RegCreateKeyExA(HKEY_LOCAL_MACHINE, setup::kUninstallKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, &hKey, nullptr);
  if (lResult != ERROR_SUCCESS) {
    WriteLog("LVL_ERROR::RegisterControlValue()::Create registry key(control key) fail. errorcode:%ld", static_cast<long>(lResult));
    return lResult;
  }
  auto readTitle = [&]() {
    return setup::ReadConfigValue("SITE_SPECIFIC", "UseSiteSpecificSetupTitle", MAX_PATH,
                                  m_pMainDlg->m_strSourceCopyPath);
  };
  const std::u16string strQuoted = u"\"" + std::u16string(kRecoveryExe) + u"\"";
  SYSTEMTIME st;
  GetLocalTime(&st);
  char szDate[16] = {0};
  _snprintf_s(szDate, sizeof szDate, _TRUNCATE, "%04d%02d%02d", st.wYear, st.wMonth, st.wDay);

  // Values in the order of the entry's table; each stops the work on failure.
  lResult = SetWideValue(hKey, u"DisplayIcon", kRecoveryExe);
  if (lResult != ERROR_SUCCESS) {
    WriteLog("LVL_ERROR::RegisterControlValue()::Set registry value(control Displayicon) fail. errorcode:%ld", static_cast<long>(lResult));
    RegCloseKey(hKey);
    return lResult;
  }
  const std::string strTitle = readTitle();
  if (!strTitle.empty()) {
    WriteLog("CVeltraneGtcSetupDlg:: UseSiteSpecificSetupTitle, Title =%s, titlelength=%d", strTitle.c_str(),
             static_cast<int>(strTitle.size()));
  }
  const std::u16string strDisplayName = strTitle.empty() ? std::u16string(u"Veltrane RAZ") : Widen(strTitle);
  lResult = SetWideValue(hKey, u"DisplayName", strDisplayName.c_str());
  if (lResult != ERROR_SUCCESS) {
    WriteLog("LVL_ERROR::RegisterControlValue()::Set registry value(control DisplayName) fail. errorcode:%ld", static_cast<long>(lResult));
    RegCloseKey(hKey);
    return lResult;
  }
  struct Item {
    const char16_t* pszName;
    std::u16string strData;
    void (*logFailure)(long lError);
  };
  const Item wideItems[] = {
      {u"UninstallString", strQuoted + u" /u",
       [](long lError) {
         WriteLog("LVL_ERROR::RegisterControlValue()::Set registry value(control UninstallString) fail. errorcode:%ld",
                  lError);
       }},
      {u"QuietUninstallString", strQuoted + u" /u /s",
       [](long lError) {
         WriteLog(
             "LVL_ERROR::RegisterControlValue()::Set registry value(control QuietUninstallString) fail. errorcode:%ld",
             lError);
       }},
      {u"DisplayVersion", u"Veltrane RAZ 1.0",
       [](long lError) {
         WriteLog("LVL_ERROR::RegisterControlValue()::Set registry value(control DisplayVersion) fail. errorcode:%ld",
                  lError);
       }},
  };
  for (const Item& item : wideItems) {
    lResult = SetWideValue(hKey, item.pszName, item.strData.c_str());
    if (lResult != ERROR_SUCCESS) {
      item.logFailure(static_cast<long>(lResult));
      RegCloseKey(hKey);
      return lResult;
    }
  }
  lResult = SetWideValue(hKey, u"Publisher", readTitle().empty() ? u"Bramble Cast Inc." : u"");
  if (lResult != ERROR_SUCCESS) {
    WriteLog("LVL_ERROR::RegisterControlValue()::Set registry value(control Publisher) fail. errorcode:%ld", static_cast<long>(lResult));
    RegCloseKey(hKey);
    return lResult;
  }
  lResult = SetAnsiValue(hKey, "InstallDate", szDate);
  if (lResult != ERROR_SUCCESS) {
    WriteLog("LVL_ERROR::RegisterControlValue()::Set registry value(control InstallDate) fail. errorcode:%ld", static_cast<long>(lResult));
    RegCloseKey(hKey);
    return lResult;
  }
  WriteLog("LVL_INFO::RegisterControlValue()::Set registry value(control values) success");
  RegCloseKey(hKey);
  return ERROR_SUCCESS;
}

LONG CProgressDlg::UnRegisterValues() {
  WriteLog("LVL_INFO::UnRegisterValues()");
  ShowStatus("Delete registry : Program common data");
  ProgressStep();
  // A key that is already gone is already removed: the uninstall goes on.
  LONG lResult = SHDeleteKeyA(HKEY_LOCAL_MACHINE, setup::kPluginKey);
  if (lResult != ERROR_SUCCESS && lResult != ERROR_FILE_NOT_FOUND) {
    // The uninstall entry stays, so the plug-in can still be removed.
    WriteLog("LVL_INFO::UnRegisterCommonValue() Regstry common value 삭제 실패");
    return lResult;
  }
  ShowStatus("Delete registry : Setup data");
  ProgressStep();
  if (lResult == ERROR_FILE_NOT_FOUND) WriteLog("LVL_INFO::UnRegisterCommonValue() Regstry common value is empty");
  else WriteLog("LVL_INFO::UnRegisterCommonValue() common value 삭제 성공");
  lResult = SHDeleteKeyA(HKEY_LOCAL_MACHINE, setup::kUninstallKey);
  if (lResult == ERROR_FILE_NOT_FOUND) {
    WriteLog("LVL_INFO::UnRegisterControlValue() Regstry control value is empty");
    lResult = ERROR_SUCCESS;
  } else if (lResult == ERROR_SUCCESS) {
    WriteLog("LVL_INFO::UnRegisterControlValue() Regstry control value 삭제 성공");
  } else {
    WriteLog("LVL_INFO::UnRegisterControlValue() Regstry control value 삭제 실패");
  }
  return lResult;
}

int CProgressDlg::WorkRegistor() {
  WriteLog("CProgressDlg::WorkRegistor In");
  if (!m_pMainDlg->m_bInstall) {
    const LONG lResult = UnRegisterValues();
    WriteLog("CProgressDlg::WorkRegistor OUT return:%ld", static_cast<long>(lResult));
    ProgressStep();
    WriteLog("CProgressDlg::WorkRegistor OUT return: %ld", static_cast<long>(lResult));
    return static_cast<int>(lResult);
  }
  ShowStatus("Creating registry : Program common data");
  ProgressStep();
  WriteLog("CProgressDlg::WorkRegistor 설치정보저장");
  HKEY hRootKey = nullptr;
  LONG lResult = RegisterCommonValue(&hRootKey);
  if (lResult != ERROR_SUCCESS) return static_cast<int>(lResult);
  lResult = RegisterSiteSpecificValue(hRootKey);
  if (lResult != ERROR_SUCCESS) return static_cast<int>(lResult);
  WriteLog("CProgressDlg::WorkRegistor 제어판 정보 저장");
  ShowStatus("Creating registry : Setup data");
  ProgressStep();
  lResult = RegisterControlValue();
  if (lResult != ERROR_SUCCESS) return static_cast<int>(lResult);
  ProgressStep();
  WriteLog("CProgressDlg::WorkRegistor OUT return: %ld", 0L);
  return 0;
}
