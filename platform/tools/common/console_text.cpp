#include "console_text.h"

#include "winsim/codepage.h"

namespace console {

void WriteAnsi(std::FILE* stream, std::string_view text) { WriteUtf8(stream, winsim::AnsiToUtf8(text)); }

void WriteUtf8(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

bool AskYes(std::string_view promptAnsi) {
  WriteAnsi(stdout, promptAnsi);
  char answer[64];
  if (!std::fgets(answer, sizeof answer, stdin)) {
    WriteUtf8(stdout, "\n");
    return false;
  }
  return answer[0] == 'y' || answer[0] == 'Y';
}

}  // namespace console
