#include "core/arrx/arrx.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

TEST(ArrXAble, FullWithFiveUsedSlotsRaises901AndCursorSkipsFreeSlots) {
  ArrX_Able<int> able(5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(i * 10, able.take(i * 10));
  Errors_Msg e = testing_support::CatchError([&] { able.take(99); });
  EXPECT_EQ(ArrX_Err_Full, e.code);
  EXPECT_STREQ("ArrX_Able が満杯です", e.message());
  EXPECT_EQ(5u, able.usedCount());  // nothing taken by the failed call

  able.setUsed(1, false);
  able.setUsed(2, false);
  EXPECT_EQ(1u, able.firstFree());
  EXPECT_EQ(0u, able.nextUsed(0));
  EXPECT_EQ(3u, able.nextUsed(1));
  able.setUsed(3, false);
  able.setUsed(4, false);
  EXPECT_EQ(5u, able.nextUsed(1));  // stops at the end
  EXPECT_EQ(5u, able.nextUsed(7));
}

TEST(ArrXBuf, AppendCutsSilentlyAndStopsAtTheEnd) {
  ArrX_Buf buf(6);
  EXPECT_EQ(2u, buf.append("ab"));
  EXPECT_EQ(4u, buf.room());
  EXPECT_EQ(4u, buf.append("0123456789"));  // 10 bytes into 4 of room
  EXPECT_EQ(6u, buf.position());
  EXPECT_TRUE(buf.isFull());
  EXPECT_EQ("ab0123", buf.data());
  EXPECT_EQ(0u, buf.append("x"));
  EXPECT_EQ(6u, buf.position());
  ArrX_Buf exact(3);
  EXPECT_EQ(3u, exact.append("xyz"));
  EXPECT_EQ("xyz", exact.data());
}

TEST(ArrXChain, CountAtTheBlockBoundaryAndOnePastIt) {
  ArrX_Chain chain(20);  // 16 bytes of items: four 4-byte items a block
  std::vector<int32_t*> items;
  for (int i = 0; i < 4; ++i) {
    items.push_back(chain.takeItem<int32_t>());
    *items.back() = i;
  }
  EXPECT_EQ(4u, chain.count());
  EXPECT_EQ(1u, chain.blockCount());
  EXPECT_EQ(0u, chain.link(0));
  items.push_back(chain.takeItem<int32_t>());
  *items.back() = 4;
  EXPECT_EQ(5u, chain.count());
  EXPECT_EQ(2u, chain.blockCount());
  EXPECT_EQ(2u, chain.link(0));  // the first block links to the second
  EXPECT_EQ(0u, chain.link(1));
  for (int i = 0; i < 40; ++i) chain.takeItem<int32_t>();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(i, *items[i]);  // items never moved
  EXPECT_EQ(45u, chain.count());

  // An item that does not fit before the link word starts a new block.
  ArrX_Chain odd(20);
  odd.take(12);
  odd.take(8);
  EXPECT_EQ(2u, odd.blockCount());
  EXPECT_EQ(Errors_Unofficial, testing_support::CatchError([&] { odd.take(17); }).code);
  odd.clear();
  EXPECT_EQ(0u, odd.count());
  EXPECT_EQ(1u, odd.blockCount());
}

TEST(ArrXDyn, GrowsByTheStepOrByWhatALargeRequestNeeds) {
  ArrX_Dyn dyn(8);
  dyn.push<int32_t>(1);
  EXPECT_EQ(8u, dyn.capacity());
  dyn.push<int32_t>(2);
  EXPECT_EQ(8u, dyn.capacity());
  dyn.push<int32_t>(3);
  EXPECT_EQ(16u, dyn.capacity());
  std::byte* big = dyn.reserve(100);  // larger than the step
  EXPECT_EQ(112u, dyn.used());
  EXPECT_GE(dyn.capacity(), 112u);
  std::memset(big, 0x5A, 100);  // the whole request is writable
  int32_t v[3];
  std::memcpy(v, dyn.data(), sizeof v);
  EXPECT_EQ(1, v[0]);
  EXPECT_EQ(2, v[1]);
  EXPECT_EQ(3, v[2]);
}

TEST(ArrXHashTable, BucketsUseUnsignedBytesNewestFirstAndOwnTheKeys) {
  ArrX_HashTable<int> table;
  EXPECT_EQ(255u, table.bucketCount());
  // "ab": 1*97 + 2*98 = 293 -> 38.
  EXPECT_EQ(38u, table.insert("ab", 1));
  // "表" = 95 5C: 1*149 + 2*92 = 333 -> 78 (a signed byte would go negative).
  EXPECT_EQ(78u, table.insert("表", 2));
  {
    std::string key = "ab";
    table.insert(key, 3);
    key.assign("zz");  // the table holds its own copy
  }
  EXPECT_EQ(3, *table.find("ab"));  // newest first
  const auto& bucket = table.bucket(38);
  ASSERT_EQ(2, std::distance(bucket.begin(), bucket.end()));
  EXPECT_EQ(3, bucket.front().data);
  EXPECT_EQ("ab", bucket.front().key);
  EXPECT_EQ(2, *table.find("表"));
  EXPECT_EQ(nullptr, table.find("AB"));
  table.clear();
  EXPECT_EQ(nullptr, table.find("ab"));
}
