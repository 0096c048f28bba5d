// The shared random sequence.
#include <gtest/gtest.h>

#include "app/random.h"

TEST(Random, FirstValuesOfTheSequence) {
  RandomSequence sequence;
  const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
  for (int value : expected) EXPECT_EQ(sequence.next(), value);
}

TEST(Random, ValuesStayInRangeAndTheStateWraps) {
  RandomSequence sequence;
  for (int i = 0; i < 100000; ++i) {
    int v = sequence.next();
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 32767);
  }
  RandomSequence wrapped{0xFFFFFFFFu};
  EXPECT_EQ(wrapped.next(), static_cast<int>(((0xFFFFFFFFu * 214013u + 2531011u) >> 16) & 0x7FFF));
}
