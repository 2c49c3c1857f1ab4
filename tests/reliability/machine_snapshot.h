// What a machine holds, as a set of lines an administrator would compare:
// every folder and file of drive C: (a file with a digest of its bytes)
// and every key and value of the registry, both views. Log files are
// listed without their contents, which differ by time stamps from run to
// run.
#pragma once
#include <set>
#include <string>

namespace reliability {

using Snapshot = std::set<std::string>;

// Lines: "file C:/<path>/" for a folder, "file C:/<path>|<digest>" for a
// file ("|log" for a log file), "key <path>", "value <key> \\ <name> =
// <type>:<hex data>".
Snapshot TakeSnapshot();

// A line without a file's digest: what names the file.
std::string PathOf(const std::string& line);

// Lines of `a` missing from `b`, one per line, for failure messages.
std::string Missing(const Snapshot& a, const Snapshot& b, size_t limit = 20);

// "ok" when registry.db passes PRAGMA integrity_check (or there is none
// yet), else what it said.
std::string RegistryIntegrity();

}  // namespace reliability
