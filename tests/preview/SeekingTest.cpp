// The seeking interface of the decoding source: segment arithmetic, flag checks and fixed answers.
#include <gtest/gtest.h>

#include "preview/FFPushSource.h"
#include "preview/SeekBounds.h"

using namespace vc::preview;

namespace {

constexpr int64_t kSecond = 10'000'000;

// Not loaded: the seeking part answers on its own, ChangeStart has no decoder to wait for.
struct SeekingTest : ::testing::Test {
  TFFPushSource Source;
  IMediaSeeking& Seeking = *Source.Seeking();

  int64_t start() {
    int64_t current = -1;
    Seeking.GetPositions(&current, nullptr);
    return current;
  }
  int64_t stop() {
    int64_t value = -1;
    Seeking.GetPositions(nullptr, &value);
    return value;
  }
};

TEST_F(SeekingTest, RelativeCurrentPositionAddsToTheSegmentStart) {
  int64_t at = 5 * kSecond;
  ASSERT_EQ(TResult::S_OK, Seeking.SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr, 0));
  int64_t step = 2 * kSecond;
  ASSERT_EQ(TResult::S_OK, Seeking.SetPositions(&step, AM_SEEKING_RelativePositioning, nullptr, 0));
  EXPECT_EQ(7 * kSecond, start());
  step = -3 * kSecond;
  ASSERT_EQ(TResult::S_OK, Seeking.SetPositions(&step, AM_SEEKING_RelativePositioning, nullptr, 0));
  EXPECT_EQ(4 * kSecond, start());
}

TEST_F(SeekingTest, StopPositioningModes) {
  int64_t current = 3 * kSecond;
  int64_t value = 10 * kSecond;
  ASSERT_EQ(TResult::S_OK, Seeking.SetPositions(&current, AM_SEEKING_AbsolutePositioning, &value,
                                                AM_SEEKING_AbsolutePositioning));
  EXPECT_EQ(10 * kSecond, stop());
  value = kSecond;
  ASSERT_EQ(TResult::S_OK, Seeking.SetPositions(nullptr, 0, &value, AM_SEEKING_RelativePositioning));
  EXPECT_EQ(11 * kSecond, stop());
  value = 2 * kSecond;  // incremental: from the segment start
  ASSERT_EQ(TResult::S_OK, Seeking.SetPositions(nullptr, 0, &value, AM_SEEKING_IncrementalPositioning));
  EXPECT_EQ(5 * kSecond, stop());
  EXPECT_EQ(3 * kSecond, start());
}

TEST_F(SeekingTest, FlagWordsOutsideThePositioningRulesAreRefused) {
  int64_t current = kSecond, value = 2 * kSecond;
  struct TCase {
    uint32_t CurrentFlags, StopFlags;
    TResult Expected;
  };
  const TCase cases[] = {
      {0, AM_SEEKING_AbsolutePositioning | AM_SEEKING_SeekToKeyFrame, TResult::E_INVALIDARG},
      {0, AM_SEEKING_ReturnTime, TResult::E_INVALIDARG},
      {0, AM_SEEKING_NoFlush, TResult::E_INVALIDARG},
      {AM_SEEKING_IncrementalPositioning, 0, TResult::E_INVALIDARG},
      {AM_SEEKING_SeekToKeyFrame, 0, TResult::E_INVALIDARG},  // no positioning bits but not zero
      // Other bits of the current flag word are ignored.
      {AM_SEEKING_AbsolutePositioning | AM_SEEKING_SeekToKeyFrame | AM_SEEKING_NoFlush, 0, TResult::S_OK},
      {0, AM_SEEKING_AbsolutePositioning, TResult::S_OK},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.CurrentFlags << "/" << c.StopFlags);
    EXPECT_EQ(c.Expected, Seeking.SetPositions(&current, c.CurrentFlags, &value, c.StopFlags));
  }
  // A refused call changes nothing.
  current = 9 * kSecond;
  EXPECT_EQ(TResult::E_INVALIDARG, Seeking.SetPositions(&current, AM_SEEKING_AbsolutePositioning, &value,
                                                        AM_SEEKING_AbsolutePositioning | 0x100));
  EXPECT_EQ(kSecond, start());
}

TEST_F(SeekingTest, FixedAnswers) {
  int64_t value = 0;
  EXPECT_EQ(TResult::E_NOTIMPL, Seeking.GetCurrentPosition(&value));

  uint32_t capabilities = 0;
  ASSERT_EQ(TResult::S_OK, Seeking.GetCapabilities(&capabilities));
  EXPECT_EQ(0x37u, capabilities);
  uint32_t asked = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanGetDuration;
  EXPECT_EQ(TResult::S_OK, Seeking.CheckCapabilities(&asked));
  asked = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanGetCurrentPos;
  EXPECT_EQ(TResult::S_FALSE, Seeking.CheckCapabilities(&asked));

  const TTimeFormat media = TTimeFormat::MediaTime, frame = TTimeFormat::Frame;
  EXPECT_EQ(TResult::S_OK, Seeking.IsFormatSupported(&media));
  EXPECT_EQ(TResult::S_FALSE, Seeking.IsFormatSupported(&frame));
  EXPECT_EQ(TResult::S_OK, Seeking.IsUsingTimeFormat(&media));
  EXPECT_EQ(TResult::S_FALSE, Seeking.IsUsingTimeFormat(&frame));
  EXPECT_EQ(TResult::S_OK, Seeking.SetTimeFormat(&media));
  EXPECT_EQ(TResult::E_INVALIDARG, Seeking.SetTimeFormat(&frame));
  TTimeFormat format = TTimeFormat::None;
  Seeking.QueryPreferredFormat(&format);
  EXPECT_EQ(TTimeFormat::MediaTime, format);

  int64_t converted = 0;
  EXPECT_EQ(TResult::S_OK, Seeking.ConvertTimeFormat(&converted, nullptr, 1234, &media));
  EXPECT_EQ(1234, converted);
  EXPECT_EQ(TResult::E_INVALIDARG, Seeking.ConvertTimeFormat(&converted, &frame, 1234, nullptr));

  int64_t earliest = -1, latest = -1, preroll = -1;
  Seeking.GetAvailable(&earliest, &latest);
  Seeking.GetDuration(&value);
  EXPECT_EQ(0, earliest);
  EXPECT_EQ(value, latest);
  EXPECT_EQ(UnknownDuration, value);
  Seeking.GetPreroll(&preroll);
  EXPECT_EQ(0, preroll);
  EXPECT_EQ(TResult::S_OK, Seeking.SetRate(2.0));
  double rate = 0;
  Seeking.GetRate(&rate);
  EXPECT_EQ(2.0, rate);
}

TEST(SeekBoundsTest, WindowAroundThePreviousPosition) {
  // 100-ns positions in, microsecond bounds out.
  EXPECT_EQ(1'000'002, SeekBounds(20'000'000, 10'000'000).Minimum);
  EXPECT_EQ(INT64_MAX, SeekBounds(20'000'000, 10'000'000).Maximum);
  EXPECT_EQ(INT64_MIN, SeekBounds(5'000'000, 10'000'000).Minimum);
  EXPECT_EQ(999'998, SeekBounds(5'000'000, 10'000'000).Maximum);
  EXPECT_EQ(999'998, SeekBounds(10'000'000, 10'000'000).Minimum);
  EXPECT_EQ(1'000'002, SeekBounds(10'000'000, 10'000'000).Maximum);
}

}  // namespace
