// REG ADD: creates a key, and sets a value in it when one is named.
#include "console_text.h"
#include "reg_commands.h"
#include "reg_key_name.h"
#include "reg_messages.h"
#include "reg_value_text.h"

namespace reg {

int RunAdd(const std::vector<std::string>& args) {
  if (args.empty()) return InvalidSyntax("ADD");
  auto name = ParseKeyName(args[0]);
  Options options;
  if (!ParseOptions(args, 1, "v ve t s d f reg", &options) || (options.value && options.valueEmpty)) {
    return InvalidSyntax("ADD");
  }
  if (!name) return InvalidKeyName("ADD");

  DWORD type = REG_SZ;
  if (options.type) {
    auto known = TypeFromName(*options.type);
    if (!known) return InvalidSyntax("ADD");
    type = *known;
  }
  char separator = 0;
  if (options.separator) {
    if (options.separator->size() != 1 || type != REG_MULTI_SZ) return InvalidSyntax("ADD");
    separator = (*options.separator)[0];
  }
  // Data alone (no /v) sets the default value, as /ve does.
  bool setsValue = options.value || options.valueEmpty || options.data || options.type;
  std::string valueName = options.value.value_or("");
  std::string problem;
  auto data = ParseData(type, options.data.value_or(""), separator, &problem);
  if (setsValue && !data) return InvalidSyntax("ADD", problem);

  HKEY key;
  LSTATUS status = RegCreateKeyExA(name->root, name->path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | options.view,
                                   nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) return Failure(status);
  if (setsValue) {
    DWORD size = 0;
    bool exists = RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
    if (exists && !options.force &&
        !console::AskYes("Value " + (valueName.empty() ? std::string("(Default)") : valueName) +
                         " exists, overwrite(Yes/No)? ")) {
      RegCloseKey(key);
      console::WriteUtf8(stdout, "The operation was canceled by the user.\n");
      return kExitSuccess;
    }
    status = RegSetValueExA(key, valueName.c_str(), 0, type, reinterpret_cast<const BYTE*>(data->data()),
                            static_cast<DWORD>(data->size()));
  }
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? Success() : Failure(status);
}

}  // namespace reg
