#include "reg_value_text.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console_args.h"

namespace reg {
namespace {

struct TypeEntry {
  DWORD type;
  const char* name;
};

const TypeEntry kTypes[] = {
    {REG_NONE, "REG_NONE"},         {REG_SZ, "REG_SZ"},
    {REG_EXPAND_SZ, "REG_EXPAND_SZ"}, {REG_BINARY, "REG_BINARY"},
    {REG_DWORD, "REG_DWORD"},       {REG_DWORD_BIG_ENDIAN, "REG_DWORD_BIG_ENDIAN"},
    {REG_MULTI_SZ, "REG_MULTI_SZ"}, {REG_QWORD, "REG_QWORD"},
};

std::string Hex(const std::string& data) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char c : data) {
    text += digits[c >> 4];
    text += digits[c & 15];
  }
  return text;
}

uint64_t LittleEndian(const std::string& data, size_t size) {
  uint64_t value = 0;
  for (size_t i = 0; i < size && i < data.size(); ++i) {
    value |= static_cast<uint64_t>(static_cast<unsigned char>(data[i])) << (8 * i);
  }
  return value;
}

// Decimal, or hexadecimal after "0x"; nothing for anything else or a
// number over `max`.
std::optional<uint64_t> ParseNumber(const std::string& text, uint64_t max) {
  if (text.empty() || text[0] == '-' || text[0] == '+' || text[0] == ' ') return std::nullopt;
  bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  errno = 0;
  char* end = nullptr;
  unsigned long long value = std::strtoull(text.c_str() + (hex ? 2 : 0), &end, hex ? 16 : 10);
  if (errno || *end || end == text.c_str() + (hex ? 2 : 0) || value > max) return std::nullopt;
  return value;
}

}  // namespace

std::string TypeName(DWORD type) {
  for (const auto& entry : kTypes) {
    if (entry.type == type) return entry.name;
  }
  return "REG_UNKNOWN";
}

std::optional<DWORD> TypeFromName(const std::string& name) {
  for (const auto& entry : kTypes) {
    if (entry.type != REG_DWORD_BIG_ENDIAN && console::SameOption(name, entry.name)) return entry.type;
  }
  return std::nullopt;
}

std::string FormatData(DWORD type, const std::string& data) {
  char number[32];
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      return data.substr(0, data.find('\0'));
    case REG_MULTI_SZ: {
      std::string text;
      size_t start = 0;
      while (start < data.size()) {
        size_t end = data.find('\0', start);
        if (end == std::string::npos) end = data.size();
        if (end == start) break;  // the empty string that ends the list
        if (!text.empty()) text += "\\0";
        text += data.substr(start, end - start);
        start = end + 1;
      }
      return text;
    }
    case REG_DWORD:
      std::snprintf(number, sizeof number, "0x%x", static_cast<unsigned>(LittleEndian(data, 4)));
      return number;
    case REG_DWORD_BIG_ENDIAN: {
      unsigned value = 0;
      for (size_t i = 0; i < 4 && i < data.size(); ++i) value = (value << 8) | static_cast<unsigned char>(data[i]);
      std::snprintf(number, sizeof number, "0x%x", value);
      return number;
    }
    case REG_QWORD:
      std::snprintf(number, sizeof number, "0x%llx", static_cast<unsigned long long>(LittleEndian(data, 8)));
      return number;
    default:
      return Hex(data);
  }
}

std::optional<std::string> ParseData(DWORD type, const std::string& text, char separator, std::string* problem) {
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      return text + '\0';
    case REG_MULTI_SZ: {
      // Parts joined by the separator ("\0" unless /s gives one); an
      // empty part inside the list is refused, a trailing separator is not.
      std::string data;
      std::string sep = separator ? std::string(1, separator) : std::string("\\0");
      size_t start = 0;
      while (start < text.size()) {
        size_t end = text.find(sep, start);
        if (end == std::string::npos) end = text.size();
        if (end == start) {
          *problem = "Specify valid string for '/d'.";
          return std::nullopt;
        }
        data += text.substr(start, end - start) + '\0';
        start = end + sep.size();
      }
      data += '\0';
      return data;
    }
    case REG_DWORD:
    case REG_QWORD: {
      auto value = ParseNumber(text.empty() ? "0" : text, type == REG_DWORD ? 0xFFFFFFFFull : ~0ull);
      if (!value) {
        *problem = "Specify valid numeric value for '/d'.";
        return std::nullopt;
      }
      std::string data;
      for (int i = 0; i < (type == REG_DWORD ? 4 : 8); ++i) data.push_back(static_cast<char>(*value >> (8 * i)));
      return data;
    }
    default: {
      if (text.size() % 2) {
        *problem = "Specify valid hexadecimal value for '/d'.";
        return std::nullopt;
      }
      std::string data;
      for (size_t i = 0; i < text.size(); i += 2) {
        char pair[3] = {text[i], text[i + 1], 0};
        char* end = nullptr;
        long byte = std::strtol(pair, &end, 16);
        if (*end || !std::isxdigit(static_cast<unsigned char>(pair[0]))) {
          *problem = "Specify valid hexadecimal value for '/d'.";
          return std::nullopt;
        }
        data.push_back(static_cast<char>(byte));
      }
      return data;
    }
  }
}

}  // namespace reg
