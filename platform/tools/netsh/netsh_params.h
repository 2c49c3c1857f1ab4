// Parameters of a netsh command: "tag=value" or, in the command's order,
// the value alone.
#pragma once
#include <map>
#include <string>
#include <vector>

namespace netsh {

enum class ParamsResult { Ok, Invalid };

// Assigns the arguments to `tags` (lower case, in positional order).
// Invalid for an unknown tag, a repeated one or too many values.
ParamsResult ParseParams(const std::vector<std::string>& args, const std::vector<std::string>& tags,
                         std::map<std::string, std::string>* values);

}  // namespace netsh
