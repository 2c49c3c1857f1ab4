// The framework string: a narrow (ANSI code page) text that owns its bytes.
#pragma once
#include <cstdarg>
#include <string>

#include "windows.h"

class CString {
 public:
  CString() = default;
  CString(const CString&) = default;
  CString(CString&&) noexcept = default;
  CString(LPCSTR text) : m_str(text ? text : "") {}  // NOLINT: implicit as in the framework
  CString(LPCSTR text, int length) : m_str(text ? std::string(text, length > 0 ? length : 0) : std::string()) {}
  CString(char ch, int repeat = 1) : m_str(repeat > 0 ? repeat : 0, ch) {}
  ~CString() = default;

  CString& operator=(const CString&) = default;
  CString& operator=(CString&&) noexcept = default;
  CString& operator=(LPCSTR text) {
    m_str = text ? text : "";
    return *this;
  }
  CString& operator=(char ch) {
    m_str.assign(1, ch);
    return *this;
  }
  CString& operator+=(const CString& other) {
    m_str += other.m_str;
    return *this;
  }
  CString& operator+=(LPCSTR text) {
    if (text) m_str += text;
    return *this;
  }
  CString& operator+=(char ch) {
    m_str += ch;
    return *this;
  }

  operator LPCSTR() const { return m_str.c_str(); }  // NOLINT: implicit as in the framework
  LPCSTR GetString() const { return m_str.c_str(); }
  int GetLength() const { return static_cast<int>(m_str.size()); }
  bool IsEmpty() const { return m_str.empty(); }
  void Empty() { m_str.clear(); }
  char GetAt(int index) const { return m_str.at(static_cast<size_t>(index)); }
  void SetAt(int index, char ch) { m_str.at(static_cast<size_t>(index)) = ch; }
  char operator[](int index) const { return GetAt(index); }

  // Writable buffer of at least minLength bytes (plus the terminating NUL).
  LPSTR GetBuffer(int minLength = 0);
  LPSTR GetBufferSetLength(int length);
  // Ends buffer access; -1 takes the length up to the first NUL.
  void ReleaseBuffer(int newLength = -1);

  void Format(LPCSTR format, ...) __attribute__((format(printf, 2, 3)));
  void FormatV(LPCSTR format, va_list args);
  void AppendFormat(LPCSTR format, ...) __attribute__((format(printf, 2, 3)));
  void Append(LPCSTR text) { *this += text; }
  void AppendChar(char ch) { m_str += ch; }

  int Find(LPCSTR sub, int start = 0) const;
  int Find(char ch, int start = 0) const;
  int ReverseFind(char ch) const;
  int FindOneOf(LPCSTR chars) const;
  int Replace(LPCSTR oldText, LPCSTR newText);
  int Replace(char oldCh, char newCh);
  int Remove(char ch);
  int Insert(int index, LPCSTR text);
  int Insert(int index, char ch);
  int Delete(int index, int count = 1);

  CString Left(int count) const;
  CString Right(int count) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString SpanIncluding(LPCSTR chars) const;
  CString SpanExcluding(LPCSTR chars) const;
  CString Tokenize(LPCSTR tokens, int& start) const;

  CString& MakeUpper();
  CString& MakeLower();
  CString& MakeReverse();
  CString& Trim();
  CString& Trim(char target);
  CString& Trim(LPCSTR targets);
  CString& TrimLeft();
  CString& TrimLeft(char target);
  CString& TrimLeft(LPCSTR targets);
  CString& TrimRight();
  CString& TrimRight(char target);
  CString& TrimRight(LPCSTR targets);

  int Compare(LPCSTR other) const;
  int CompareNoCase(LPCSTR other) const;
  // Loads a string resource; the program carries no string table, so this
  // empties the string and reports FALSE.
  BOOL LoadString(UINT id);

  friend CString operator+(const CString& a, const CString& b) {
    CString result(a);
    result += b;
    return result;
  }
  friend CString operator+(const CString& a, LPCSTR b) {
    CString result(a);
    result += b;
    return result;
  }
  friend CString operator+(LPCSTR a, const CString& b) {
    CString result(a);
    result += b;
    return result;
  }
  friend CString operator+(const CString& a, char b) {
    CString result(a);
    result += b;
    return result;
  }
  friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
  friend bool operator==(const CString& a, LPCSTR b) { return a.Compare(b) == 0; }
  friend bool operator==(LPCSTR a, const CString& b) { return b.Compare(a) == 0; }
  friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
  friend bool operator!=(const CString& a, LPCSTR b) { return !(a == b); }
  friend bool operator!=(LPCSTR a, const CString& b) { return !(b == a); }
  friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }

 private:
  std::string m_str;
};

typedef CString CStringA;
