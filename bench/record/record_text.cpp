#include "record_text.h"

#include <cstdio>
#include <vector>

namespace record {

std::string Utf8FromWide(const WCHAR* text, size_t length) {
  if (length == 0) return "";
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &out[0], size, nullptr, nullptr);
  return out;
}

std::string Utf8FromAnsi(const std::string& ansi) {
  if (ansi.empty()) return "";
  const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  if (length <= 0) return ansi;
  std::vector<WCHAR> wide(static_cast<size_t>(length));
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), length);
  return Utf8FromWide(wide.data(), wide.size());
}

namespace {

void ReplaceAll(std::string* text, const std::string& from, const char* to) {
  if (from.empty()) return;
  for (size_t at = text->find(from); at != std::string::npos; at = text->find(from, at)) {
    text->replace(at, from.size(), to);
    at += std::char_traits<char>::length(to);
  }
}

}  // namespace

std::string Substitute(const std::string& utf8, const Placeholders& placeholders) {
  std::string text = utf8;
  // The longer folder first: one may lie inside the other.
  if (placeholders.source.size() >= placeholders.appData.size()) {
    ReplaceAll(&text, placeholders.source, "<source>");
    ReplaceAll(&text, placeholders.appData, "<appdata>");
  } else {
    ReplaceAll(&text, placeholders.appData, "<appdata>");
    ReplaceAll(&text, placeholders.source, "<source>");
  }
  return text;
}

std::string Escape(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c != 0x7F) {
      out += static_cast<char>(c);
      continue;
    }
    switch (c) {
      case 0: out += "<NUL>"; break;
      case '\r': out += "<CR>"; break;
      case '\n': out += "<LF>"; break;
      case '\t': out += "<TAB>"; break;
      default: {
        char hex[8];
        std::snprintf(hex, sizeof hex, "<x%02X>", c);
        out += hex;
      }
    }
  }
  return out;
}

std::string Normalize(const std::string& utf8, const Placeholders& placeholders) {
  return Escape(Substitute(utf8, placeholders));
}

size_t WideLength(const std::string& utf8) {
  if (utf8.empty()) return 0;
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  return length > 0 ? static_cast<size_t>(length) : 0;
}

std::string Hash(const std::string& bytes) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 0x100000001b3ull;
  }
  char hex[24];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
  return hex;
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes->clear();
  char buffer[65536];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != FALSE) && got > 0) bytes->append(buffer, got);
  CloseHandle(file);
  return ok;
}

void Line(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

}  // namespace record
