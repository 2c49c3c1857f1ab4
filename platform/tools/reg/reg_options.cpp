#include <cctype>
#include <sstream>

#include "console_args.h"
#include "reg_commands.h"

namespace reg {
namespace {

bool Allowed(const std::string& allowed, const std::string& name) {
  std::istringstream words(allowed);
  std::string word;
  while (words >> word) {
    if (word == name) return true;
  }
  return false;
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, size_t from, const std::string& allowed, Options* out) {
  for (size_t i = from; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) return false;
    std::string name = arg.substr(1);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto next = [&](std::optional<std::string>* slot) {
      if (*slot || i + 1 >= args.size()) return false;
      *slot = args[++i];
      return true;
    };
    bool ok = false;
    if (name == "reg:32" || name == "reg:64") {
      REGSAM flag = name == "reg:32" ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
      ok = Allowed(allowed, "reg") && !out->view;
      out->view |= flag;
    } else if (!Allowed(allowed, name)) {
      ok = false;
    } else if (name == "v") {
      ok = next(&out->value);
    } else if (name == "ve") {
      ok = !out->valueEmpty;
      out->valueEmpty = true;
    } else if (name == "va") {
      ok = !out->allValues;
      out->allValues = true;
    } else if (name == "s" && Allowed(allowed, "recurse")) {
      ok = !out->recurse;
      out->recurse = true;
    } else if (name == "s") {
      ok = next(&out->separator);
    } else if (name == "t") {
      ok = next(&out->type);
    } else if (name == "d") {
      ok = next(&out->data);
    } else if (name == "f") {
      ok = !out->force;
      out->force = true;
    }
    if (!ok) return false;
  }
  return true;
}

LSTATUS ReadValue(HKEY key, const char* name, DWORD* type, std::string* data) {
  for (;;) {
    DWORD size = static_cast<DWORD>(data->size());
    LSTATUS status = RegQueryValueExA(key, name, nullptr, type,
                                      data->empty() ? nullptr : reinterpret_cast<BYTE*>(data->data()), &size);
    if (status == ERROR_SUCCESS && (size <= data->size())) {
      data->resize(size);
      return status;
    }
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return status;
    data->resize(size);
  }
}

LSTATUS ReadValueAt(HKEY key, DWORD index, std::string* name, DWORD* type, std::string* data) {
  std::string nameBuffer(16384, '\0');
  data->assign(256, '\0');
  for (;;) {
    DWORD nameSize = static_cast<DWORD>(nameBuffer.size());
    DWORD size = static_cast<DWORD>(data->size());
    LSTATUS status = RegEnumValueA(key, index, nameBuffer.data(), &nameSize, nullptr, type,
                                   reinterpret_cast<BYTE*>(data->data()), &size);
    if (status == ERROR_MORE_DATA && size > data->size()) {
      data->resize(size);
      continue;
    }
    if (status != ERROR_SUCCESS) return status;
    name->assign(nameBuffer.data(), nameSize);
    data->resize(size);
    return status;
  }
}

std::optional<std::string> SubkeyAt(HKEY key, DWORD index) {
  char name[1024];
  DWORD size = sizeof name;
  if (RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return std::nullopt;
  return std::string(name, size);
}

}  // namespace reg
