// The framework string.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "afxstr.h"

namespace {

bool InSet(char c, LPCSTR set) { return set && std::strchr(set, c) != nullptr && c != '\0'; }

}  // namespace

LPSTR CString::GetBuffer(int minLength) {
  if (minLength > GetLength()) m_str.resize(static_cast<size_t>(minLength));
  return m_str.data();
}

LPSTR CString::GetBufferSetLength(int length) {
  m_str.resize(static_cast<size_t>(length < 0 ? 0 : length));
  return m_str.data();
}

void CString::ReleaseBuffer(int newLength) {
  if (newLength < 0) newLength = static_cast<int>(strnlen(m_str.c_str(), m_str.size()));
  m_str.resize(static_cast<size_t>(std::min<int>(newLength, static_cast<int>(m_str.size()))));
}

void CString::FormatV(LPCSTR format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (n < 0) {
    m_str.clear();
    return;
  }
  std::string out(static_cast<size_t>(n) + 1, '\0');
  std::vsnprintf(out.data(), out.size(), format, args);
  out.resize(static_cast<size_t>(n));
  m_str = std::move(out);
}

void CString::Format(LPCSTR format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

void CString::AppendFormat(LPCSTR format, ...) {
  CString more;
  va_list args;
  va_start(args, format);
  more.FormatV(format, args);
  va_end(args);
  m_str += more.m_str;
}

int CString::Find(LPCSTR sub, int start) const {
  if (!sub || start < 0 || start > GetLength()) return -1;
  size_t at = m_str.find(sub, static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(char ch, int start) const {
  if (start < 0 || start >= GetLength()) return -1;
  size_t at = m_str.find(ch, static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char ch) const {
  size_t at = m_str.rfind(ch);
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::FindOneOf(LPCSTR chars) const {
  if (!chars) return -1;
  size_t at = m_str.find_first_of(chars);
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Replace(LPCSTR oldText, LPCSTR newText) {
  if (!oldText || !*oldText) return 0;
  std::string from(oldText), to(newText ? newText : "");
  int count = 0;
  size_t at = 0;
  while ((at = m_str.find(from, at)) != std::string::npos) {
    m_str.replace(at, from.size(), to);
    at += to.size();
    ++count;
  }
  return count;
}

int CString::Replace(char oldCh, char newCh) {
  int count = 0;
  for (char& c : m_str) {
    if (c == oldCh) {
      c = newCh;
      ++count;
    }
  }
  return count;
}

int CString::Remove(char ch) {
  size_t before = m_str.size();
  m_str.erase(std::remove(m_str.begin(), m_str.end(), ch), m_str.end());
  return static_cast<int>(before - m_str.size());
}

int CString::Insert(int index, LPCSTR text) {
  index = std::clamp(index, 0, GetLength());
  if (text) m_str.insert(static_cast<size_t>(index), text);
  return GetLength();
}

int CString::Insert(int index, char ch) {
  index = std::clamp(index, 0, GetLength());
  m_str.insert(static_cast<size_t>(index), 1, ch);
  return GetLength();
}

int CString::Delete(int index, int count) {
  if (index < 0) index = 0;
  if (count > 0 && index < GetLength()) m_str.erase(static_cast<size_t>(index), static_cast<size_t>(count));
  return GetLength();
}

CString CString::Left(int count) const {
  count = std::clamp(count, 0, GetLength());
  return CString(m_str.substr(0, static_cast<size_t>(count)).c_str());
}

CString CString::Right(int count) const {
  count = std::clamp(count, 0, GetLength());
  return CString(m_str.substr(m_str.size() - static_cast<size_t>(count)).c_str());
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  first = std::clamp(first, 0, GetLength());
  count = std::clamp(count, 0, GetLength() - first);
  CString result;
  result.m_str = m_str.substr(static_cast<size_t>(first), static_cast<size_t>(count));
  return result;
}

CString CString::SpanIncluding(LPCSTR chars) const {
  size_t n = 0;
  while (n < m_str.size() && InSet(m_str[n], chars)) ++n;
  return Left(static_cast<int>(n));
}

CString CString::SpanExcluding(LPCSTR chars) const {
  size_t n = 0;
  while (n < m_str.size() && !InSet(m_str[n], chars)) ++n;
  return Left(static_cast<int>(n));
}

CString CString::Tokenize(LPCSTR tokens, int& start) const {
  if (start < 0) return CString();
  size_t at = static_cast<size_t>(start);
  while (at < m_str.size() && InSet(m_str[at], tokens)) ++at;
  if (at >= m_str.size()) {
    start = -1;
    return CString();
  }
  size_t end = at;
  while (end < m_str.size() && !InSet(m_str[end], tokens)) ++end;
  start = static_cast<int>(end < m_str.size() ? end + 1 : end);
  return Mid(static_cast<int>(at), static_cast<int>(end - at));
}

// Case changes touch ASCII letters only, so the lead and trail bytes of
// double-byte characters stay as they are.
CString& CString::MakeUpper() {
  for (char& c : m_str)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return *this;
}

CString& CString::MakeLower() {
  for (char& c : m_str)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return *this;
}

CString& CString::MakeReverse() {
  std::reverse(m_str.begin(), m_str.end());
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char target) { return TrimRight(target).TrimLeft(target); }
CString& CString::Trim(LPCSTR targets) { return TrimRight(targets).TrimLeft(targets); }

CString& CString::TrimLeft() { return TrimLeft(" \t\r\n\v\f"); }
CString& CString::TrimLeft(char target) {
  char set[2] = {target, '\0'};
  return TrimLeft(set);
}
CString& CString::TrimLeft(LPCSTR targets) {
  size_t n = 0;
  while (n < m_str.size() && InSet(m_str[n], targets)) ++n;
  m_str.erase(0, n);
  return *this;
}

CString& CString::TrimRight() { return TrimRight(" \t\r\n\v\f"); }
CString& CString::TrimRight(char target) {
  char set[2] = {target, '\0'};
  return TrimRight(set);
}
CString& CString::TrimRight(LPCSTR targets) {
  while (!m_str.empty() && InSet(m_str.back(), targets)) m_str.pop_back();
  return *this;
}

int CString::Compare(LPCSTR other) const { return std::strcmp(m_str.c_str(), other ? other : ""); }

int CString::CompareNoCase(LPCSTR other) const {
  CString a(*this), b(other);
  a.MakeLower();
  b.MakeLower();
  return a.Compare(b);
}

BOOL CString::LoadString(UINT id) {
  m_str.clear();
  return FALSE;
}
