// Command lines that hand the site's wireless profiles to netsh.
#pragma once
#include "afx.h"

namespace profiles {

// The profile's name: its file name cut before the last "." (empty when
// there is none).
CString ProfileName(const CString& strFileName);
// "netsh wlan delete profile <name>"; a name holding a blank is quoted.
CString DeleteCommand(const CString& strFileName);
// "netsh wlan add profile "<recovery folder>\<file>"".
CString AddCommand(const CString& strFileName);

}  // namespace profiles
