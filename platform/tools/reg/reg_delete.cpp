// REG DELETE: a whole key, one value, or all values of a key.
#include "console_text.h"
#include "reg_commands.h"
#include "reg_key_name.h"
#include "reg_messages.h"
#include "shlwapi.h"

namespace reg {
namespace {

int DeleteAllValues(HKEY key) {
  std::vector<std::string> names;
  for (DWORD i = 0;; ++i) {
    std::string name, data;
    DWORD type = 0;
    if (ReadValueAt(key, i, &name, &type, &data) != ERROR_SUCCESS) break;
    names.push_back(name);
  }
  for (const auto& name : names) {
    LSTATUS status = RegDeleteValueA(key, name.c_str());
    if (status != ERROR_SUCCESS) return Failure(status);
  }
  return Success();
}

// The key is deleted through its parent, opened in the chosen view.
int DeleteKey(const KeyName& name, REGSAM view) {
  size_t slash = name.path.rfind('\\');
  std::string parentPath = slash == std::string::npos ? std::string() : name.path.substr(0, slash);
  std::string leaf = slash == std::string::npos ? name.path : name.path.substr(slash + 1);
  HKEY parent;
  LSTATUS status = RegOpenKeyExA(name.root, parentPath.c_str(), 0, KEY_ALL_ACCESS | view, &parent);
  if (status == ERROR_SUCCESS) {
    status = SHDeleteKeyA(parent, leaf.c_str());
    if (parent != name.root) RegCloseKey(parent);
  }
  return status == ERROR_SUCCESS ? Success() : Failure(status);
}

}  // namespace

int RunDelete(const std::vector<std::string>& args) {
  if (args.empty()) return InvalidSyntax("DELETE");
  auto name = ParseKeyName(args[0]);
  Options options;
  if (!ParseOptions(args, 1, "v ve va f reg", &options)) return InvalidSyntax("DELETE");
  int chosen = (options.value ? 1 : 0) + (options.valueEmpty ? 1 : 0) + (options.allValues ? 1 : 0);
  if (chosen > 1) return InvalidSyntax("DELETE");
  if (!name) return InvalidKeyName("DELETE");
  bool wholeKey = chosen == 0;
  if (wholeKey && name->path.empty()) return InvalidKeyName("DELETE");  // a root key cannot be deleted

  HKEY key;
  LSTATUS status = RegOpenKeyExA(name->root, name->path.c_str(), 0, KEY_ALL_ACCESS | options.view, &key);
  if (status != ERROR_SUCCESS) return Failure(status);
  auto close = [&] {
    if (key != name->root) RegCloseKey(key);
  };

  std::string question;
  if (options.value || options.valueEmpty) {
    std::string shown = options.value ? *options.value : "(Default)";
    question = "Delete the registry value " + shown + " (Yes/No)? ";
  } else if (options.allValues) {
    question = "Delete all values under the registry key " + name->display + " (Yes/No)? ";
  } else {
    question = "Permanently delete the registry key " + name->display + " (Yes/No)? ";
  }
  if (!options.force && !console::AskYes(question)) {
    close();
    return kExitSuccess;
  }

  int exitCode;
  if (options.value || options.valueEmpty) {
    status = RegDeleteValueA(key, options.value.value_or("").c_str());
    exitCode = status == ERROR_SUCCESS ? Success() : Failure(status);
  } else if (options.allValues) {
    exitCode = DeleteAllValues(key);
  } else {
    close();
    return DeleteKey(*name, options.view);
  }
  close();
  return exitCode;
}

}  // namespace reg
