#include "common/large_buffer.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

namespace deskplay {
namespace {

TEST(LargeBuffer, HoldsItsWholeCapacityWithEitherPageSize) {
  for (const PageSize pages : {PageSize::Normal, PageSize::Huge}) {
    Result<LargeBuffer> buffer = LargeBuffer::allocate((16 << 20) + 1, pages);
    ASSERT_TRUE(buffer.ok()) << buffer.message();
    EXPECT_EQ(buffer.value().capacity(), std::size_t{(16 << 20) + 1});
    std::memset(buffer.value().data(), 'x', buffer.value().capacity());
    EXPECT_EQ(buffer.value().data()[16 << 20], 'x');
  }
}

TEST(LargeBuffer, MovesOwnership) {
  LargeBuffer first = std::move(LargeBuffer::allocate(100, PageSize::Normal).value());
  first.data()[99] = 'z';
  LargeBuffer second = std::move(first);
  EXPECT_EQ(second.data()[99], 'z');
  EXPECT_EQ(first.data(), nullptr);
  second = LargeBuffer::allocate(10, PageSize::Huge).value();
  EXPECT_EQ(second.capacity(), 10u);
}

}  // namespace
}  // namespace deskplay
