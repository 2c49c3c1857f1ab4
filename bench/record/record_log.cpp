#include "record_log.h"

#include <cctype>

namespace record {
namespace {

// "2024-05-01 09:30:00 " at the start of a line.
bool HasTimeStamp(const std::string& line) {
  static const char kPattern[] = "dddd-dd-dd dd:dd:dd ";
  if (line.size() < sizeof kPattern - 1) return false;
  for (size_t i = 0; i + 1 < sizeof kPattern; ++i) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    if (kPattern[i] == 'd' ? !std::isdigit(c) : c != static_cast<unsigned char>(kPattern[i])) return false;
  }
  return true;
}

}  // namespace

void RecordLog(const std::string& path, const Placeholders& placeholders) {
  Line("== log " + Utf8FromAnsi(path));
  std::string bytes;
  if (!ReadWholeFile(path, &bytes)) {
    Line("absent");
    return;
  }
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    const bool lineEnd = end != std::string::npos;
    if (!lineEnd) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    start = end + 1;
    std::string ending;
    if (!lineEnd) ending = " <no line end>";
    else if (!line.empty() && line.back() == '\r') line.pop_back();
    else ending = " <LF only>";
    if (HasTimeStamp(line)) line.erase(0, 20);
    // The program waits 10 ms for each command it starts and notes when the
    // command outlives the wait: a question of speed, different on every run.
    if (line.rfind("WaitForSingleObject timeout : ", 0) == 0) continue;
    Line("| " + Normalize(Utf8FromAnsi(line), placeholders) + ending);
  }
}

void RecordIniValues(const std::string& path, const Placeholders& placeholders) {
  Line("== ini " + Utf8FromAnsi(path));
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    Line("absent");
    return;
  }
  static const char* const kKeys[][2] = {{"Root", "InstallSuccess"}, {"InstallRoot", "InstallSuccess"}};
  for (const auto& key : kKeys) {
    // A default no configuration would hold tells a missing key from an empty one.
    static const char kMissing[] = "\x01missing";
    char value[1024] = {0};
    GetPrivateProfileStringA(key[0], key[1], kMissing, value, sizeof value, path.c_str());
    const std::string text = value;
    Line(std::string(key[0]) + "/" + key[1] + " = " +
         (text == kMissing ? std::string("(missing)") : "\"" + Normalize(Utf8FromAnsi(text), placeholders) + "\""));
  }
}

}  // namespace record
