#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <thread>
#include <vector>

#include "media/CircularBuffer.h"

using vc::media::TCircularBuffer;

namespace {

std::vector<uint8_t> bytes(int count, uint8_t first) {
  std::vector<uint8_t> v(count);
  std::iota(v.begin(), v.end(), first);
  return v;
}

}  // namespace

TEST(CircularBuffer, NewBufferIsEmptyWithFullSpace) {
  TCircularBuffer ring(16);
  EXPECT_EQ(ring.Available(true), 0);
  EXPECT_EQ(ring.Space(true), 16);
  EXPECT_EQ(TCircularBuffer::DefaultCapacity, 16588800);
}

TEST(CircularBuffer, HoldsAtMostCapacityMinusOne) {
  TCircularBuffer ring(16);
  const auto data = bytes(16, 1);
  EXPECT_FALSE(ring.Write(data.data(), 16));
  EXPECT_EQ(ring.Available(true), 0);
  ASSERT_TRUE(ring.Write(data.data(), 15));
  EXPECT_EQ(ring.Available(true), 15);
  EXPECT_EQ(ring.Space(true), 1);
  EXPECT_FALSE(ring.Write(data.data(), 1));
  std::vector<uint8_t> out(15);
  ASSERT_TRUE(ring.Read(out.data(), 15));
  EXPECT_EQ(out, std::vector<uint8_t>(data.begin(), data.begin() + 15));
}

TEST(CircularBuffer, RefusedReadConsumesNothing) {
  TCircularBuffer ring(16);
  const auto data = bytes(6, 10);
  ASSERT_TRUE(ring.Write(data.data(), 6));
  std::vector<uint8_t> out(7, 0);
  EXPECT_FALSE(ring.Read(out.data(), 7));
  EXPECT_EQ(ring.Available(true), 6);
  ASSERT_TRUE(ring.Read(out.data(), 2));
  EXPECT_EQ(out[0], 10);
  EXPECT_EQ(out[1], 11);
  EXPECT_FALSE(ring.Read(out.data(), -1));
  EXPECT_FALSE(ring.Write(data.data(), -1));
  EXPECT_EQ(ring.Available(true), 4);
}

// Each row moves the positions to an offset first, then writes and reads a block across (or
// exactly up to) the end of the data block.
TEST(CircularBuffer, WrapsAroundTheEndInOrder) {
  struct TCase {
    int start, count;
  } cases[] = {{7, 6}, {5, 3}, {0, 9}, {9, 9}, {3, 7}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "start " << c.start << " count " << c.count);
    TCircularBuffer ring(10);
    std::vector<uint8_t> skip(10);
    ASSERT_TRUE(ring.Write(skip.data(), c.start));
    ASSERT_TRUE(ring.Read(skip.data(), c.start));
    const auto data = bytes(c.count, 100);
    ASSERT_TRUE(ring.Write(data.data(), c.count));
    EXPECT_EQ(ring.Available(true), c.count);
    EXPECT_EQ(ring.Space(true), 10 - c.count);
    std::vector<uint8_t> out(c.count);
    ASSERT_TRUE(ring.Read(out.data(), c.count));
    EXPECT_EQ(out, data);
    EXPECT_EQ(ring.Available(true), 0);
    EXPECT_EQ(ring.Space(true), 10);
    // And the ring goes on working from wherever that left the positions.
    const auto more = bytes(8, 50);
    ASSERT_TRUE(ring.Write(more.data(), 8));
    std::vector<uint8_t> back(8);
    ASSERT_TRUE(ring.Read(back.data(), 8));
    EXPECT_EQ(back, more);
  }
}

TEST(CircularBuffer, ClearDiscardsEverything) {
  TCircularBuffer ring(10);
  const auto data = bytes(8, 1);
  ASSERT_TRUE(ring.Write(data.data(), 8));
  std::vector<uint8_t> out(5);
  ASSERT_TRUE(ring.Read(out.data(), 5));
  ASSERT_TRUE(ring.Write(data.data(), 6));  // wrapped content
  ring.Clear();
  EXPECT_EQ(ring.Available(true), 0);
  EXPECT_EQ(ring.Space(true), 10);
}

// A producer and a consumer thread move a few megabytes through a small ring in chunks of
// changing sizes, each retrying when refused; every byte arrives once and in order. (A write and a
// read together never need more than the ring holds, or all-or-nothing could wait forever.)
TEST(CircularBuffer, ProducerAndConsumerThreadsKeepTheBytesIntact) {
  constexpr int kTotal = 3 * 1024 * 1024;
  constexpr int kCapacity = 4099;
  TCircularBuffer ring(kCapacity);
  auto byteAt = [](int i) { return static_cast<uint8_t>((i * 2654435761u) >> 13); };

  std::thread producer([&] {
    std::vector<uint8_t> chunk(kCapacity);
    int sent = 0, turn = 0;
    while (sent < kTotal) {
      const int n = std::min(1 + (turn * 37) % 2000, kTotal - sent);
      for (int i = 0; i < n; ++i) chunk[i] = byteAt(sent + i);
      while (!ring.Write(chunk.data(), n)) std::this_thread::yield();
      sent += n;
      ++turn;
    }
  });

  std::vector<uint8_t> chunk(kCapacity);
  int received = 0, turn = 0, mismatches = 0;
  while (received < kTotal) {
    const int n = std::min(1 + (turn * 53) % 2000, kTotal - received);
    while (!ring.Read(chunk.data(), n)) std::this_thread::yield();
    for (int i = 0; i < n; ++i) mismatches += chunk[i] != byteAt(received + i);
    received += n;
    ++turn;
  }
  producer.join();
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(ring.Available(true), 0);
}
