// WritePrivateProfileStringA/W: every change rewrites the whole file in
// normalized form, in the file's own encoding.
#include <memory>
#include <mutex>
#include <new>

#include "profile_document.h"
#include "profile_encoding.h"
#include "profile_storage.h"
#include "profile_wide_args.h"
#include "windows.h"

namespace profile = winsim::profile;

namespace {

// Applies the change; false when the document stays as it was. The
// caller's texts are taken as a rewrite of the file's encoding keeps them.
bool ApplyChange(profile::ProfileDocument& doc, profile::ProfileEncoding encoding, LPCWSTR section, LPCWSTR key,
                 LPCWSTR value) {
  const std::u16string sectionText = profile::CallerText(section, encoding);
  if (!key) return doc.DeleteSection(sectionText);
  const std::u16string keyText = profile::CallerText(key, encoding);
  if (!value) return doc.DeleteKey(sectionText, keyText);
  return doc.SetValue(sectionText, keyText, profile::CallerText(value, encoding));
}

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

}  // namespace

extern "C" {

BOOL WINAPI WritePrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpString,
                                       LPCWSTR lpFileName) {
  // All three NULL asks to flush the cache; there is none, and Windows
  // documents FALSE as the result.
  if (!lpAppName && !lpKeyName && !lpString) return FALSE;
  if (!lpAppName) return Fail(ERROR_FILE_NOT_FOUND);
  try {
    std::lock_guard<std::mutex> lock(profile::ProfileFilesMutex());
    winsim::ResolvedPath path = profile::ResolveProfileName(lpFileName);
    // The file is opened for writing before anything else happens.
    std::unique_ptr<winsim::ShareRegistration> claim;
    DWORD error = profile::ClaimForChange(path, &claim);
    if (error != ERROR_SUCCESS) return Fail(error);
    std::string bytes;
    error = profile::ReadProfileFile(path, &bytes);
    if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND) return Fail(error);

    profile::DecodedProfile decoded = profile::DecodeProfileBytesForRewrite(bytes);
    profile::ProfileDocument doc = profile::ProfileDocument::Parse(decoded.text);
    const bool changed = ApplyChange(doc, decoded.encoding, lpAppName, lpKeyName, lpString);
    // Nothing to delete: an existing file stays as it is, a missing one is
    // created empty, as Windows does.
    if (!changed && path.exists) return TRUE;
    if (!path.exists && winsim::DenyWriteForUser(path)) return Fail(ERROR_ACCESS_DENIED);

    std::string text = changed ? profile::EncodeProfileText(doc.Serialize(), decoded.encoding) : std::string();
    // A code-page file whose rewritten first line would start with the
    // bytes of a byte order mark would read as another encoding from then
    // on: that line keeps the blanks it started with, or, where it had
    // none (blank lines before it, which a rewrite drops), one empty line
    // stays before it.
    if (decoded.encoding == profile::ProfileEncoding::Ansi && profile::StartsWithByteOrderMark(text)) {
      text = profile::EncodeProfileText(doc.Serialize(true), decoded.encoding);
      if (profile::StartsWithByteOrderMark(text)) text.insert(0, "\r\n");
    }
    error = profile::RewriteProfileFile(path.host, text);
    if (error != ERROR_SUCCESS) return Fail(error);
    return TRUE;
  } catch (const std::bad_alloc&) {
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
}

BOOL WINAPI WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName) {
  try {
    profile::WideArg app(lpAppName), key(lpKeyName), value(lpString), file(lpFileName);
    return WritePrivateProfileStringW(app.get(), key.get(), value.get(), file.get());
  } catch (const std::bad_alloc&) {
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
}

}  // extern "C"
