#include "machine_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <stdexcept>

#include "winsim/machine.h"

namespace winsim::testing {
namespace {

std::mutex g_mutex;
std::vector<std::string>& TempDirs() {
  static auto* dirs = new std::vector<std::string>;  // outlives the cleanup below
  return *dirs;
}

struct Cleanup {
  ~Cleanup() {
    if (std::getenv("WINSIM_KEEP_TEST_MACHINES")) return;
    for (const auto& d : TempDirs()) {
      std::error_code ec;
      std::filesystem::remove_all(d, ec);
    }
  }
} g_cleanup;

}  // namespace

std::string TempHostDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "winsim-test-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  std::lock_guard<std::mutex> lock(g_mutex);
  TempDirs().push_back(tmpl);
  return tmpl;
}

std::string FreshMachine() {
  std::string root = TempHostDir() + "/machine";
  setenv("WINSIM_MACHINE", root.c_str(), 1);
  std::string error;
  if (!winsim::InitMachine(root, &error)) throw std::runtime_error("InitMachine: " + error);
  return root;
}

std::string ReadHostFile(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteHostFile(const std::string& hostPath, const std::string& bytes) {
  std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool HostExists(const std::string& hostPath) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(hostPath, ec));
}

std::string BinDir() {
  const char* bin = std::getenv("WINSIM_BIN");
  return bin ? bin : "";
}

}  // namespace winsim::testing
