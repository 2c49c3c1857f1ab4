#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "winsim/machine.h"

namespace fuzz {

const std::string& Machine() {
  static const std::string* root = [] {
    char tmpl[] = "/tmp/winsim-fuzz-XXXXXX";
    if (!mkdtemp(tmpl)) Fail("mkdtemp failed");
    static std::string folder = tmpl;
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(folder, ignored);
    });
    auto* r = new std::string(folder + "/machine");
    setenv("WINSIM_MACHINE", r->c_str(), 1);
    std::string error;
    if (!winsim::InitMachine(*r, &error)) Fail("InitMachine: " + error);
    return r;
  }();
  return *root;
}

void WriteHost(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadHost(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
  std::abort();
}

std::string Escaped(std::string_view bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7f && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    }
  }
  return out;
}

}  // namespace fuzz
