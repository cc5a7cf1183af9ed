// Key codes of the settings against Qt's key sequences.

#include "common/key_codes.h"

#include <gtest/gtest.h>

namespace nivra::common {
namespace {

TEST(KeyCodes, SettingsCodesAndQtSequencesRoundTrip) {
  EXPECT_EQ(keyCodeToSequence(49218), QKeySequence("Ctrl+Alt+B"));
  EXPECT_EQ(keyCodeToSequence(16422), QKeySequence("Ctrl+Up"));
  EXPECT_EQ(keyCodeToSequence(kShiftBit | 0x70), QKeySequence("Shift+F1"));
  for (std::int32_t code : {49218, 16463, 16469, 16422, 16424, 16461, 16454, 0x2000 | ' ', 0x7B})
    EXPECT_EQ(sequenceToKeyCode(keyCodeToSequence(code)), code) << code;
  EXPECT_TRUE(keyCodeToSequence(0).isEmpty());
  EXPECT_EQ(sequenceToKeyCode(QKeySequence()), 0);
}

}  // namespace
}  // namespace nivra::common
