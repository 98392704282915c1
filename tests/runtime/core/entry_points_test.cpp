// Entry points that application code and libraries call in this process: the file
// search services, making a constant array writable, and Notify's numeric conversion.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <set>
#include <string>

#include "runtime/core/entry_table.h"
#include "runtime/core/notify.h"
#include "runtime/core/notify_codes.h"
#include "runtime/lib/blocks.h"
#include "runtime/lib/heap.h"
#include "tests/support/test_support.h"

namespace zl {
namespace {

intptr_t Service(AuxiliaryServiceNumber number, intptr_t arg1 = 0, intptr_t arg2 = 0, intptr_t arg3 = 0,
                 intptr_t arg4 = 0) {
  return g_runtimeEntries.auxiliaryService(static_cast<int32_t>(number), arg1, arg2, arg3, arg4);
}

// Every name a search lists, from the pattern on until it answers no more.
std::set<std::string> Listing(const std::string& pattern, uint32_t attributeMask, bool allFiles) {
  std::set<std::string> names;
  HANDLE search = nullptr;
  const char* next = pattern.c_str();
  for (int guard = 0; guard < 100; ++guard) {
    TextOwner name(reinterpret_cast<char*>(Service(AuxiliaryServiceNumber::NextFileMatch,
                                                   reinterpret_cast<intptr_t>(next), attributeMask, allFiles,
                                                   reinterpret_cast<intptr_t>(&search))));
    next = nullptr;
    if (!name) break;
    names.insert(name.get());
  }
  Service(AuxiliaryServiceNumber::EndFileSearch, reinterpret_cast<intptr_t>(search));
  return names;
}

TEST(FileSearchServices, ListTheMatchesOnceWithoutDotsAndDirectoriesOnlyWhenAsked) {
  const std::string folder = test::MakeTempFolder("search");
  for (const char* file : {"a.txt", "b.dat", "c.txt"}) {
    HANDLE created = CreateFileA((folder + "\\" + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    CloseHandle(created);
  }
  ASSERT_TRUE(CreateDirectoryA((folder + "\\sub.txt").c_str(), nullptr));
  EXPECT_EQ(Listing(folder + "\\*", 0, false), (std::set<std::string>{"a.txt", "b.dat", "c.txt"}));
  EXPECT_EQ(Listing(folder + "\\*.txt", 0, false), (std::set<std::string>{"a.txt", "c.txt"}));
  EXPECT_EQ(Listing(folder + "\\*.txt", FILE_ATTRIBUTE_DIRECTORY, false),
            (std::set<std::string>{"a.txt", "c.txt", "sub.txt"}));
  EXPECT_EQ(Listing(folder + "\\*", 0, true), (std::set<std::string>{"a.txt", "b.dat", "c.txt", "sub.txt"}));
  EXPECT_TRUE(Listing(folder + "\\*.none", 0, true).empty());

  // A pattern given while a search is open starts a new one in place of it.
  HANDLE search = nullptr;
  const std::string dat = folder + "\\*.dat", none = folder + "\\*.none";
  TextOwner first(reinterpret_cast<char*>(Service(AuxiliaryServiceNumber::NextFileMatch,
                                                  reinterpret_cast<intptr_t>(dat.c_str()), 0, 0,
                                                  reinterpret_cast<intptr_t>(&search))));
  ASSERT_TRUE(first);
  EXPECT_STREQ(first.get(), "b.dat");
  EXPECT_NE(search, nullptr);
  EXPECT_EQ(Service(AuxiliaryServiceNumber::NextFileMatch, reinterpret_cast<intptr_t>(none.c_str()), 0, 0,
                    reinterpret_cast<intptr_t>(&search)),
            0);
  EXPECT_EQ(search, nullptr) << "a search that finds nothing leaves no handle to close";
  EXPECT_EQ(Service(AuxiliaryServiceNumber::NextFileMatch, 0, 0, 0, reinterpret_cast<intptr_t>(&search)), 0);
  Service(AuxiliaryServiceNumber::EndFileSearch, 0);  // nothing to close
}

// A constant block: arrays the program stores, then bytes beyond the block's end.
struct Constants {
  uint32_t ints[5] = {1, 3, 10, 20, 30};                               // 1 dimension, 3 ints
  uint32_t grid[3] = {2, 2, 3};                                        // 2 × 3 bytes
  char gridBytes[8] = {'a', 'b', 'c', 'd', 'e', 'f', 0, 0};
  uint32_t cut[4] = {1, 4, 0x11111111, 0x22222222};                    // 4 ints, 2 inside the block
  uint32_t beyond[2] = {0xEEEEEEEE, 0xEEEEEEEE};                       // not in the block
};

TEST(MakeArrayWritable, CopiesAConstantArrayWholeAndNothingPastTheConstantBlock) {
  static Constants constants;
  SetConstantBlock(&constants, offsetof(Constants, beyond));
  const int64_t blocksBefore = LiveHeapBlocks();
  auto writable = [](uint8_t*& variable, size_t elementSize) {
    Service(AuxiliaryServiceNumber::MakeArrayWritable, static_cast<intptr_t>(elementSize),
            reinterpret_cast<intptr_t>(&variable));
  };

  auto* ints = reinterpret_cast<uint8_t*>(constants.ints);
  writable(ints, 4);
  ASSERT_NE(ints, reinterpret_cast<uint8_t*>(constants.ints));
  EXPECT_FALSE(InConstantBlock(ints));
  EXPECT_EQ(std::memcmp(ints, constants.ints, sizeof constants.ints), 0);
  uint8_t* const copied = ints;
  writable(ints, 4);  // a heap array is writable already
  EXPECT_EQ(ints, copied);

  // The header counts every dimension; the elements are as wide as the caller says.
  auto* grid = reinterpret_cast<uint8_t*>(constants.grid);
  writable(grid, 1);
  ASSERT_FALSE(InConstantBlock(grid));
  EXPECT_EQ(std::memcmp(grid, constants.grid, 12 + 6), 0);

  // Elements running past the block's end are not read: they come out as zeros.
  auto* cut = reinterpret_cast<uint8_t*>(constants.cut);
  writable(cut, 4);
  ASSERT_FALSE(InConstantBlock(cut));
  const uint32_t expected[6] = {1, 4, 0x11111111, 0x22222222, 0, 0};
  EXPECT_EQ(std::memcmp(cut, expected, sizeof expected), 0);

  uint8_t* empty = nullptr;
  writable(empty, 4);
  EXPECT_EQ(empty, nullptr);
  EXPECT_EQ(LiveHeapBlocks(), blocksBefore + 3);
  RtFree(ints);
  RtFree(grid);
  RtFree(cut);
  ClearConstantBlock();
}

// Notify 2001 on one value.
int32_t NumericToInt(const ArgRecord& value) {
  return static_cast<int32_t>(Notify(kNotifyNumericToInt, reinterpret_cast<intptr_t>(&value), 0));
}

ArgRecord Float(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  return ArgRecord::Of(kTypeFloat, bits);
}

TEST(NotifyNumericToInt, WidensSmallIntegersAndTruncatesFloatsTowardZeroSaturating) {
  EXPECT_EQ(NumericToInt(ArgRecord::Of(kTypeByte, 0x1FF)), 255);
  EXPECT_EQ(NumericToInt(ArgRecord::Of(kTypeShortInt, 0x18000)), -32768);
  EXPECT_EQ(NumericToInt(ArgRecord::OfInt(-5)), -5);
  EXPECT_EQ(NumericToInt(ArgRecord::Of(kTypeLongInt, 0x1FFFFFFFEull)), -2);
  EXPECT_EQ(NumericToInt(Float(-2.9f)), -2);
  EXPECT_EQ(NumericToInt(ArgRecord::OfDouble(2.9)), 2);
  // No defined cast exists for these: NaN is 0, out-of-range values saturate.
  EXPECT_EQ(NumericToInt(ArgRecord::OfDouble(std::nan(""))), 0);
  EXPECT_EQ(NumericToInt(Float(std::numeric_limits<float>::quiet_NaN())), 0);
  EXPECT_EQ(NumericToInt(ArgRecord::OfDouble(1e20)), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(NumericToInt(ArgRecord::OfDouble(-1e20)), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(NumericToInt(Float(std::numeric_limits<float>::infinity())), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(NumericToInt(ArgRecord::OfDouble(2147483647.9)), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(NumericToInt(ArgRecord::OfDouble(-2147483648.9)), std::numeric_limits<int32_t>::min());
}

}  // namespace
}  // namespace zl
