// Several threads of one process changing and reading one file: no change
// is lost and no reader sees a half-written file.
#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "profile_test_support.h"

namespace profile_test {
namespace {

class ProfileThreads : public ProfileTest {};

TEST_F(ProfileThreads, ConcurrentWritersLoseNothing) {
  const std::string file = MakeIni("threads.ini", "[S]\r\nstable=yes\r\n");
  constexpr int kWriters = 4;
  constexpr int kKeysEach = 25;
  std::atomic<bool> writing{true};
  std::atomic<int> badReads{0};

  std::thread reader([&] {
    while (writing) {
      char buf[16];
      DWORD n = GetPrivateProfileStringA("S", "stable", "lost", buf, sizeof buf, file.c_str());
      if (n != 3 || std::string(buf) != "yes") ++badReads;
    }
  });
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([&, w] {
      for (int k = 0; k < kKeysEach; ++k) {
        std::string key = "w" + std::to_string(w) + "k" + std::to_string(k);
        WritePrivateProfileStringA("S", key.c_str(), "1", file.c_str());
      }
    });
  }
  for (auto& t : writers) t.join();
  writing = false;
  reader.join();

  EXPECT_EQ(0, badReads.load());
  std::vector<char> list(8192);
  DWORD n = GetPrivateProfileStringA("S", nullptr, "", list.data(), static_cast<DWORD>(list.size()), file.c_str());
  std::set<std::string> keys;
  for (DWORD i = 0; i < n; i += static_cast<DWORD>(std::string(&list[i]).size()) + 1) keys.insert(&list[i]);
  EXPECT_EQ(static_cast<size_t>(kWriters * kKeysEach + 1), keys.size());
}

}  // namespace
}  // namespace profile_test
