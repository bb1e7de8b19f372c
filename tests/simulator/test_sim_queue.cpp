// The message queue read through descriptor 0: record packing, order, and
// what a buffer that holds fewer records than are queued gets.
#include <gtest/gtest.h>

#include <cstring>

#include "sim_fixture.h"
#include "simulator/message_queue.h"

namespace {

using simtest::LittleEndian32;

TEST(SimQueue, PacksRecordsLittleEndianOldestFirst) {
  sim::MessageQueue queue;
  queue.Push(0x420D, 0x02112402, 6);
  queue.Push(0x4204, 0x03110001, 0);
  unsigned char buffer[40];
  std::memset(buffer, 0xBB, sizeof buffer);
  ASSERT_EQ(32, queue.PopInto(buffer, sizeof buffer));
  const unsigned char first[16] = {1, 0, 0, 0, 0x0D, 0x42, 0, 0, 0x02, 0x24, 0x11, 0x02, 6, 0, 0, 0};
  EXPECT_EQ(0, std::memcmp(buffer, first, 16));
  EXPECT_EQ(2u, LittleEndian32(buffer + 16));  // sequence numbers count up
  EXPECT_EQ(0x4204u, LittleEndian32(buffer + 20));
  EXPECT_EQ(0x03110001u, LittleEndian32(buffer + 24));
  for (int i = 32; i < 40; ++i) EXPECT_EQ(0xBB, buffer[i]) << "byte " << i << " past the records";
  EXPECT_TRUE(queue.Empty());
}

TEST(SimQueue, OnlyWholeRecordsLeaveAndTheRestStays) {
  sim::MessageQueue queue;
  for (std::uint32_t m = 1; m <= 3; ++m) queue.Push(m, m * 10, m * 100);
  unsigned char buffer[31];
  std::memset(buffer, 0xBB, sizeof buffer);
  EXPECT_EQ(16, queue.PopInto(buffer, sizeof buffer));
  EXPECT_EQ(0xBB, buffer[16]);
  EXPECT_EQ(1u, LittleEndian32(buffer + 4));
  ASSERT_EQ(2u, queue.Size());
  EXPECT_EQ(2u, queue.Records().front().message);
  EXPECT_EQ(0, queue.PopInto(buffer, 15));
  EXPECT_EQ(2u, queue.Size());
}

TEST(SimQueue, FullQueueDropsTheOldestAndClearRestartsNumbering) {
  sim::MessageQueue queue;
  for (std::size_t i = 0; i < sim::MessageQueue::kCapacity; ++i) EXPECT_TRUE(queue.Push(1, 0, 0));
  EXPECT_FALSE(queue.Push(2, 0, 0));
  EXPECT_EQ(sim::MessageQueue::kCapacity, queue.Size());
  EXPECT_EQ(2u, queue.Records().front().opaque);
  EXPECT_EQ(2u, queue.Records().back().message);
  queue.Clear();
  queue.Push(3, 0, 0);
  EXPECT_EQ(1u, queue.Records().front().opaque);
}

class SimQueueReads : public simtest::SimTest {};

TEST_F(SimQueueReads, BufferTooSmallKeepsTheRecordsAndEmptyQueueTimesOut) {
  InitializeQuietly();
  ASSERT_EQ(0, sim_->SwipeCard(nullptr));  // nobody has the reader open: nothing queued
  EXPECT_TRUE(sim_->Queue().Empty());
  const std::int32_t msr = OpenDevice("PosMsr");
  ASSERT_EQ(0, sim_->SwipeCard("%B1^X^1?"));
  ASSERT_EQ(1u, sim_->Queue().Size());

  unsigned char buffer[16];
  std::memset(buffer, 0xBB, sizeof buffer);
  std::int32_t out = -1;
  EXPECT_EQ(pos::kErrSysBufferTooSmall, sim_->Read(0, buffer, 15, &out));
  EXPECT_EQ(0, out);
  EXPECT_EQ(0xBB, buffer[0]);
  EXPECT_EQ(1u, sim_->Queue().Size());

  ASSERT_EQ(0, sim_->Read(0, buffer, 16, &out));
  EXPECT_EQ(16, out);
  EXPECT_EQ(static_cast<std::uint32_t>(pos::kMsgMsrDataAvail), LittleEndian32(buffer + 4));
  EXPECT_EQ(static_cast<std::uint32_t>(msr), LittleEndian32(buffer + 8) & 0xFFFF);
  EXPECT_EQ(8u, LittleEndian32(buffer + 12));  // the length of the card data

  EXPECT_EQ(pos::kErrSysTimeout, sim_->Read(0, buffer, 16, &out));
  EXPECT_EQ(0, out);
}

}  // namespace
