// The byte filling and copying that stand in for memset and memcpy in the
// Windows build: exactly the bytes asked for change, at any alignment.
#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "../memory_ops.h"

namespace {

constexpr unsigned char kGuard = 0xCC;
constexpr std::size_t kBuffer = 160;

struct SpanRow {
  std::size_t offset;
  std::size_t count;
};

// Lengths below, at and above the word sizes, at odd offsets.
const SpanRow kSpans[] = {{0, 0}, {5, 0},  {0, 1},  {3, 1},  {1, 3},  {0, 4},  {2, 7},   {0, 8},
                          {7, 9}, {1, 15}, {0, 16}, {3, 17}, {4, 31}, {0, 64}, {9, 100}, {0, kBuffer}};

TEST(MemoryOps, FillSetsExactlyTheSpan) {
  const int values[] = {0, 0x5A, 0xFF, 0x1A5, -1};  // converted to unsigned char
  for (const SpanRow& s : kSpans) {
    for (int value : values) {
      SCOPED_TRACE(testing::Message() << "offset " << s.offset << " count " << s.count << " value " << value);
      std::vector<unsigned char> buffer(kBuffer, kGuard);
      void* result = launcher::FillBytes(buffer.data() + s.offset, value, s.count);
      EXPECT_EQ(buffer.data() + s.offset, result);
      const unsigned char expected = static_cast<unsigned char>(value);
      for (std::size_t i = 0; i < kBuffer; ++i) {
        const bool inside = i >= s.offset && i < s.offset + s.count;
        ASSERT_EQ(inside ? expected : kGuard, buffer[i]) << "byte " << i;
      }
    }
  }
}

TEST(MemoryOps, CopyMovesExactlyTheSpan) {
  std::vector<unsigned char> source(kBuffer);
  for (std::size_t i = 0; i < kBuffer; ++i) source[i] = static_cast<unsigned char>(i * 7 + 1);
  for (const SpanRow& s : kSpans) {
    // The source read from another offset, so a copy from the wrong place shows.
    const std::size_t from = s.count < kBuffer ? (s.offset + 3) % (kBuffer - s.count + 1) : 0;
    SCOPED_TRACE(testing::Message() << "offset " << s.offset << " count " << s.count << " from " << from);
    std::vector<unsigned char> dest(kBuffer, kGuard);
    void* result = launcher::CopyBytes(dest.data() + s.offset, source.data() + from, s.count);
    EXPECT_EQ(dest.data() + s.offset, result);
    for (std::size_t i = 0; i < kBuffer; ++i) {
      const bool inside = i >= s.offset && i < s.offset + s.count;
      ASSERT_EQ(inside ? source[from + (i - s.offset)] : kGuard, dest[i]) << "byte " << i;
    }
  }
}

}  // namespace
