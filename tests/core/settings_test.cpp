// The settings file: every reading rule, and writes that keep the rest.
#include <gtest/gtest.h>

#include "data/os.h"
#include "data/settings.h"
#include "tests/core/tempdir.h"

namespace korvane {
namespace {

std::string SettingsFile(int left, int top, const std::string& width, const std::string& height,
                         const std::string& mode) {
  return "[Korvane]\r\nLEFT=" + std::to_string(left) + "\r\nTOP=" + std::to_string(top) + "\r\nWIDTH=" + width +
         "\r\nHEIGHT=" + height + "\r\nMODE=" + mode + "\r\n";
}

LoadedSettings LoadFrom(const std::string& bytes) {
  testing::TempDir dir;
  EXPECT_TRUE(testing::WriteBytes(dir.File("Korvane.INI"), bytes));
  return LoadSettings(dir.path());
}

TEST(ParseDecimal, TakesSignedDecimalIntegersInThe32BitRange) {
  EXPECT_EQ(ParseDecimal("0"), 0);
  EXPECT_EQ(ParseDecimal("640"), 640);
  EXPECT_EQ(ParseDecimal("-640"), -640);
  EXPECT_EQ(ParseDecimal("+5"), 5);
  EXPECT_EQ(ParseDecimal("007"), 7);
  EXPECT_EQ(ParseDecimal("-0"), 0);
  EXPECT_EQ(ParseDecimal("2147483647"), 2147483647);
  EXPECT_EQ(ParseDecimal("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(ParseDecimal("00000000000000000000012"), 12);
  for (const char* bad : {"2147483648", "-2147483649", "99999999999999999999999", "", "+", "-", "--1", "+-1",
                          "12a", "1 2", " 1", "1.0", "0x10", "$10", "1e3", "１２"})
    EXPECT_FALSE(ParseDecimal(bad).has_value()) << bad;
}

TEST(ParseHotKey, ReadsModifiersAndOneKeyAndWritesThemBack) {
  EXPECT_EQ(ParseHotKey("Ctrl+Alt+K"), (HotKey{kHotKeyCtrl | kHotKeyAlt, 'K'}));
  EXPECT_EQ(ParseHotKey(" control + ALT + k "), (HotKey{kHotKeyCtrl | kHotKeyAlt, 'K'}));
  EXPECT_EQ(ParseHotKey("Shift+Win+space"), (HotKey{kHotKeyShift | kHotKeyWin, 0x20}));
  EXPECT_EQ(ParseHotKey("Alt+7"), (HotKey{kHotKeyAlt, '7'}));
  EXPECT_EQ(ParseHotKey("F12"), (HotKey{0, 0x7B}));   // a function key alone is no typing
  EXPECT_EQ(ParseHotKey("Shift+f1"), (HotKey{kHotKeyShift, 0x70}));
  EXPECT_EQ(ParseHotKey("Ctrl+F24"), (HotKey{kHotKeyCtrl, 0x87}));
  for (const char* off : {"off", "OFF", "None", "0", "", "  "}) {
    ASSERT_TRUE(ParseHotKey(off).has_value()) << off;
    EXPECT_TRUE(ParseHotKey(off)->Off()) << off;
  }
  for (const char* bad : {"K", "Shift+K", "Shift+Space", "Ctrl+Ctrl+K", "Ctrl+Control+K", "Ctrl+", "+K", "Ctrl++K",
                          "Ctrl+Alt", "Ctrl+KK", "Ctrl+F0", "Ctrl+F25", "Ctrl+F01", "Ctrl+F-1", "Meta+K",
                          "Ctrl+Alt+Ｋ", "Ctrl K", "Ctrl+Alt+K+L", "1"})
    EXPECT_FALSE(ParseHotKey(bad).has_value()) << bad;
  for (const HotKey key : {kDefaultHotKey, HotKey{kHotKeyCtrl | kHotKeyAlt | kHotKeyShift | kHotKeyWin, 'Z'},
                           HotKey{0, 0x70 + 9}, HotKey{kHotKeyAlt, '0'}, HotKey{}}) {
    EXPECT_EQ(ParseHotKey(FormatHotKey(key)), key) << FormatHotKey(key);
  }
  EXPECT_EQ(FormatHotKey(kDefaultHotKey), "Ctrl+Alt+Space");
  EXPECT_EQ(FormatHotKey({kHotKeyWin | kHotKeyShift | kHotKeyCtrl, 'Q'}), "Ctrl+Shift+Win+Q");
  EXPECT_EQ(FormatHotKey({}), "off");
}

TEST(LoadSettings, HotKeyIsTheDefaultWithoutTheKeyAndOffWhenItCannotBeRead) {
  EXPECT_EQ(LoadFrom("[Korvane]\r\nMODE=1\r\n").hot_key, kDefaultHotKey);
  EXPECT_EQ(LoadFrom("[Other]\r\nHOTKEY=Alt+Q\r\n").hot_key, kDefaultHotKey);
  LoadedSettings s = LoadFrom("[Korvane]\r\nhotkey = Ctrl+Shift+F5 \r\n");
  EXPECT_EQ(s.hot_key, (HotKey{kHotKeyCtrl | kHotKeyShift, 0x74}));
  EXPECT_FALSE(s.hot_key_invalid);
  s = LoadFrom("[Korvane]\r\nHOTKEY=\r\n");
  EXPECT_TRUE(s.hot_key.Off());
  EXPECT_FALSE(s.hot_key_invalid);
  s = LoadFrom("[Korvane]\r\nHOTKEY=Ctrl+Alt+ほ\r\nMODE=1\r\n");
  EXPECT_TRUE(s.hot_key.Off());
  EXPECT_TRUE(s.hot_key_invalid);
  EXPECT_EQ(s.mode, kModeLauncher);
  testing::TempDir dir;
  EXPECT_EQ(LoadSettings(dir.path()).hot_key, kDefaultHotKey);
  // A save keeps the key as the user wrote it.
  ASSERT_TRUE(testing::WriteBytes(dir.File("Korvane.INI"), "[Korvane]\r\nHOTKEY=alt+f9\r\n"));
  ASSERT_TRUE(SaveSettings(dir.path(), {1, 2, 3, 4}, false, kModeRegistration));
  EXPECT_EQ(testing::ReadBytes(dir.File("Korvane.INI")),
            "[Korvane]\r\nHOTKEY=alt+f9\r\nLEFT=1\r\nTOP=2\r\nWIDTH=3\r\nHEIGHT=4\r\nMODE=0\r\n");
  EXPECT_EQ(LoadSettings(dir.path()).hot_key, (HotKey{kHotKeyAlt, 0x78}));
}

TEST(LoadSettings, WithoutAFileRegistrationModeAndNoPlacement) {
  testing::TempDir dir;
  const LoadedSettings s = LoadSettings(dir.path());
  EXPECT_EQ(s.mode, kModeRegistration);
  EXPECT_FALSE(s.placement_valid);
}

TEST(LoadSettings, AppliesThePlacementAsStored) {
  const LoadedSettings s = LoadFrom(SettingsFile(-3000, 20, "640", "480", "1"));
  EXPECT_TRUE(s.placement_valid);   // far off every screen, still applied
  EXPECT_EQ(s.placement.left, -3000);
  EXPECT_EQ(s.placement.top, 20);
  EXPECT_EQ(s.placement.width, 640);
  EXPECT_EQ(s.placement.height, 480);
  EXPECT_EQ(s.mode, kModeLauncher);
}

TEST(LoadSettings, ModeOtherThanZeroOrOneIsLauncherModeAndNoIntegerIsZero) {
  EXPECT_EQ(LoadFrom(SettingsFile(0, 0, "0", "0", "0")).mode, 0);
  EXPECT_EQ(LoadFrom(SettingsFile(0, 0, "0", "0", "1")).mode, 1);
  EXPECT_EQ(LoadFrom(SettingsFile(0, 0, "0", "0", "2")).mode, 1);
  EXPECT_EQ(LoadFrom(SettingsFile(0, 0, "0", "0", "-1")).mode, 1);
  EXPECT_EQ(LoadFrom(SettingsFile(0, 0, "0", "0", "abc")).mode, 0);
  EXPECT_EQ(LoadFrom(SettingsFile(0, 0, "0", "0", "4294967297")).mode, 0);   // out of range: 0
  EXPECT_EQ(LoadFrom("[Korvane]\r\nMODE=1\r\n").mode, 1);   // the mode holds without a placement
  EXPECT_EQ(LoadFrom("[Other]\r\nMODE=1\r\n").mode, 0);
}

TEST(LoadSettings, NegativeSizesCountByTheirAbsoluteValue) {
  LoadedSettings s = LoadFrom(SettingsFile(0, 0, "-640", "-480", "0"));
  EXPECT_TRUE(s.placement_valid);
  EXPECT_EQ(s.placement.width, 640);
  EXPECT_EQ(s.placement.height, 480);
  // -2147483648 has no absolute value in 32 bits: it counts as 0.
  s = LoadFrom(SettingsFile(0, 0, "-2147483648", "-2147483648", "0"));
  EXPECT_EQ(s.placement.width, 0);
  EXPECT_EQ(s.placement.height, 0);
  EXPECT_FALSE(s.placement_valid);
}

TEST(LoadSettings, APlacementAddingUpToZeroIsNotApplied) {
  EXPECT_FALSE(LoadFrom(SettingsFile(-100, 0, "100", "0", "0")).placement_valid);
  EXPECT_FALSE(LoadFrom(SettingsFile(0, 0, "0", "0", "1")).placement_valid);
  EXPECT_TRUE(LoadFrom(SettingsFile(1, 0, "0", "0", "0")).placement_valid);
  // The sum is taken in 64 bits: 2147483647 + 2147483647 + 2 is no 0.
  EXPECT_TRUE(LoadFrom(SettingsFile(2147483647, 2147483647, "2", "0", "0")).placement_valid);
  // Values that are no integers count as 0.
  EXPECT_FALSE(LoadFrom("[Korvane]\r\nLEFT=x\r\nTOP=3000000000\r\nWIDTH=1.5\r\nHEIGHT=\r\n").placement_valid);
}

TEST(SaveSettings, WritesTheKeysInOrderIntoANewFile) {
  testing::TempDir dir;
  ASSERT_TRUE(SaveSettings(dir.path(), {-10, 20, 640, 480}, false, kModeLauncher));
  EXPECT_EQ(testing::ReadBytes(dir.File("Korvane.INI")), SettingsFile(-10, 20, "640", "480", "1"));
  const LoadedSettings s = LoadSettings(dir.path());
  EXPECT_TRUE(s.placement_valid);
  EXPECT_EQ(s.placement.left, -10);
  EXPECT_EQ(s.mode, kModeLauncher);
  EXPECT_EQ(s.find_width, 0);

  // The find box's size goes after them once given, and stays when not.
  ASSERT_TRUE(SaveSettings(dir.path(), {-10, 20, 640, 480}, false, kModeLauncher, FindBoxSize{700, 420}));
  ASSERT_TRUE(SaveSettings(dir.path(), {-10, 20, 640, 480}, false, kModeLauncher));
  EXPECT_EQ(testing::ReadBytes(dir.File("Korvane.INI")),
            SettingsFile(-10, 20, "640", "480", "1") + "FINDWIDTH=700\r\nFINDHEIGHT=420\r\n");
  EXPECT_EQ(LoadSettings(dir.path()).find_width, 700);
  EXPECT_EQ(LoadSettings(dir.path()).find_height, 420);
  EXPECT_EQ(LoadFrom(SettingsFile(0, 0, "0", "0", "0") + "FINDWIDTH=-5\r\nFINDHEIGHT=300\r\n").find_width, 0);
}

TEST(SaveSettings, AMaximizedWindowWritesZeros) {
  testing::TempDir dir;
  ASSERT_TRUE(SaveSettings(dir.path(), {100, 100, 800, 600}, true, kModeRegistration));
  EXPECT_EQ(testing::ReadBytes(dir.File("Korvane.INI")), SettingsFile(0, 0, "0", "0", "0"));
  EXPECT_FALSE(LoadSettings(dir.path()).placement_valid);
}

TEST(SaveSettings, KeepsEverythingElseInTheFile) {
  testing::TempDir dir;
  // A code page 932 file stays so, byte for byte but for the lines set.
  const std::string mine = testing::Cp932("; 設定 ～ ソ表 ﾎﾟ\r\n");
  const std::string before =
      mine + "[Other]\r\nLEFT=7\r\n\r\n[korvane]\r\nMODE=2\r\nCOLOR=\x82\xD4\r\nLEFT=1\r\n";
  ASSERT_TRUE(testing::WriteBytes(dir.File("Korvane.INI"), before));
  ASSERT_TRUE(SaveSettings(dir.path(), {5, 6, 7, 8}, false, kModeLauncher));
  EXPECT_EQ(testing::ReadBytes(dir.File("Korvane.INI")),
            mine + "[Other]\r\nLEFT=7\r\n\r\n[korvane]\r\nMODE=1\r\nCOLOR=\x82\xD4\r\nLEFT=5\r\n"
            "TOP=6\r\nWIDTH=7\r\nHEIGHT=8\r\n");
}

TEST(SaveSettings, AUtf16FileIsReadAndStaysUtf16) {
  testing::TempDir dir;
  ASSERT_TRUE(testing::WriteBytes(dir.File("Korvane.INI"),
                                  testing::Utf16File(u"; 設定 caf\u00E9 \u2615 \U00020BB7\r\n[Korvane]\r\nLEFT=10\r\n"
                                                     u"TOP=20\r\nWIDTH=300\r\nHEIGHT=400\r\nMODE=1\r\n")));
  const LoadedSettings loaded = LoadSettings(dir.path());
  EXPECT_TRUE(loaded.placement_valid);
  EXPECT_EQ(loaded.placement.width, 300);
  EXPECT_EQ(loaded.mode, kModeLauncher);
  ASSERT_TRUE(SaveSettings(dir.path(), {10, 20, 300, 450}, false, kModeLauncher));
  EXPECT_EQ(testing::ReadBytes(dir.File("Korvane.INI")),
            testing::Utf16File(u"; 設定 caf\u00E9 \u2615 \U00020BB7\r\n[Korvane]\r\nLEFT=10\r\nTOP=20\r\nWIDTH=300\r\n"
                               u"HEIGHT=450\r\nMODE=1\r\n"));
}

TEST(SaveSettings, AFileThatWouldNotChangeIsLeftAlone) {
  testing::TempDir dir;
  const std::string path = dir.File("Korvane.INI");
  const std::string before = SettingsFile(5, 6, "7", "8", "1") + "; mine\r\n";
  ASSERT_TRUE(testing::WriteBytes(path, before));
  testing::SetReadOnly(path, true);   // refuses any write
  EXPECT_TRUE(SaveSettings(dir.path(), {5, 6, 7, 8}, false, kModeLauncher));
  EXPECT_EQ(testing::ReadBytes(path), before);
  testing::SetReadOnly(path, false);
}

TEST(SaveSettings, AFileThatCannotBeWrittenAnswersFalseAndStaysAsItWas) {
  testing::TempDir dir;
  const std::string path = dir.File("Korvane.INI");
  const std::string before = SettingsFile(1, 2, "3", "4", "0");
  ASSERT_TRUE(testing::WriteBytes(path, before));
  testing::SetReadOnly(path, true);
  EXPECT_FALSE(SaveSettings(dir.path(), {5, 6, 7, 8}, false, kModeLauncher));
  EXPECT_EQ(testing::ReadBytes(path), before);
  testing::SetReadOnly(path, false);
  {
    testing::HeldOpen held(path, testing::Sharing::None);
    if (held.Effective()) {
      EXPECT_FALSE(SaveSettings(dir.path(), {5, 6, 7, 8}, false, kModeLauncher));
      EXPECT_EQ(LoadSettings(dir.path()).mode, kModeRegistration);   // unreadable: all 0
    }
  }
  EXPECT_EQ(testing::ReadBytes(path), before);
  EXPECT_FALSE(SaveSettings(os::JoinPath(dir.File("nowhere"), ""), {5, 6, 7, 8}, false, kModeLauncher));
}

}  // namespace
}  // namespace korvane
