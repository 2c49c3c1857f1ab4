// Shared by the fuzz targets: a machine of their own, splitting an input
// into parts, and a check that stops the run with a message.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// Lays out a fresh machine in a temporary folder (once per process) and
// points WINSIM_MACHINE at it. Returns its host folder.
const std::string& Machine();

// Writes bytes to a host file, replacing it.
void WriteHost(const std::string& path, std::string_view bytes);
std::string ReadHost(const std::string& path);

// Reads an input front to back: single bytes, then the rest.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(reinterpret_cast<const char*>(data), size) {}
  uint8_t Byte() {
    if (data_.empty()) return 0;
    uint8_t b = static_cast<uint8_t>(data_[0]);
    data_.remove_prefix(1);
    return b;
  }
  // Up to the next `separator` byte (not included), or the rest.
  std::string_view Part(char separator) {
    size_t at = data_.find(separator);
    std::string_view part = data_.substr(0, at);
    data_.remove_prefix(at == std::string_view::npos ? data_.size() : at + 1);
    return part;
  }
  std::string_view Rest() const { return data_; }

 private:
  std::string_view data_;
};

// Ends the run with a report on standard error and abort(), which the
// fuzzer records as a crash with the input that caused it.
[[noreturn]] void Fail(const std::string& what);
inline void Check(bool ok, const std::string& what) {
  if (!ok) Fail(what);
}

// Printable form of bytes for reports.
std::string Escaped(std::string_view bytes);

}  // namespace fuzz
