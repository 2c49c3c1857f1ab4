// Command lines that hand the site's wireless profiles to netsh, and the
// rule a profile entry's value must follow before it reaches a copy or a
// command line.
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

// True when the text names a plain file of the source folder: no folder
// part ("\", "/", a drive colon), no character Windows refuses in a file
// name (a double quote among them, which would end the quoted path on the
// command line), no control character, and not only dots ("." and "..").
bool IsPlainFileName(const CString& strFileName);

// Whether the work uses a profile entry: an empty value is skipped
// silently, a value that is not a plain file name is a configuration error
// logged with the entry's name (and then skipped too).
bool UseEntry(LPCSTR pszCaller, LPCSTR pszName, LPCSTR pszValue);

}  // namespace profiles
