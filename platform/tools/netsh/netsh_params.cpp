#include "netsh_params.h"

#include <algorithm>

#include "console_args.h"

namespace netsh {

ParamsResult ParseParams(const std::vector<std::string>& args, const std::vector<std::string>& tags,
                         std::map<std::string, std::string>* values) {
  for (const auto& arg : args) {
    std::string tag;
    std::string value = arg;
    size_t equals = arg.find('=');
    if (equals != std::string::npos) {
      std::string given = arg.substr(0, equals);
      for (const auto& known : tags) {
        if (console::SameOption(given, known)) tag = known;
      }
      if (!tag.empty()) value = arg.substr(equals + 1);
    }
    if (tag.empty()) {
      auto free = std::find_if(tags.begin(), tags.end(), [&](const std::string& t) { return !values->count(t); });
      if (free == tags.end()) return ParamsResult::Invalid;
      tag = *free;
    }
    if (values->count(tag)) return ParamsResult::Invalid;
    (*values)[tag] = value;
  }
  return ParamsResult::Ok;
}

}  // namespace netsh
