#include "decode_cache.hpp"

#include <gtest/gtest.h>

#include "test_sounds.hpp"

namespace deskplay::sonette {
namespace {

using testing::constantSound;
using testing::CountingDecoder;

TEST(DecodeCache, DecodesAPathOnceAndSharesTheBuffer) {
  CountingDecoder decoder;
  decoder.add("a.wav", constantSound(kDeviceFormat, 10, 0.5f));
  DecodeCache cache(decoder);

  const auto first = cache.buffer("a.wav");
  const auto second = cache.buffer("a.wav");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->frames(), 10u);
  EXPECT_EQ(decoder.decodes("a.wav"), 1);
}

TEST(DecodeCache, KeysOnTheExactPathString) {
  CountingDecoder decoder;
  decoder.add("a.wav", constantSound(kDeviceFormat, 10, 0.5f));
  decoder.add("./a.wav", constantSound(kDeviceFormat, 10, 0.5f));
  DecodeCache cache(decoder);

  ASSERT_NE(cache.buffer("a.wav"), nullptr);
  ASSERT_NE(cache.buffer("./a.wav"), nullptr);
  EXPECT_EQ(decoder.decodes("a.wav"), 1);
  EXPECT_EQ(decoder.decodes("./a.wav"), 1);
}

TEST(DecodeCache, NeverKeepsAFailureSoALaterFileIsFound) {
  CountingDecoder decoder;
  DecodeCache cache(decoder);

  EXPECT_EQ(cache.buffer("late.wav"), nullptr);
  EXPECT_EQ(cache.buffer("late.wav"), nullptr);
  EXPECT_EQ(decoder.decodes("late.wav"), 2);

  decoder.add("late.wav", constantSound(kDeviceFormat, 10, 0.5f));
  EXPECT_NE(cache.buffer("late.wav"), nullptr);
  EXPECT_NE(cache.buffer("late.wav"), nullptr);
  EXPECT_EQ(decoder.decodes("late.wav"), 3);
}

}  // namespace
}  // namespace deskplay::sonette
