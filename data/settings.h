#pragma once
// The settings file "Korvane.INI" in the data folder (the exe's folder):
// the main window's placement, the mode value and the hot key, section
// "Korvane".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvane {

inline constexpr std::string_view kSettingsFileName = "Korvane.INI";

// Mode values.
inline constexpr int kModeRegistration = 0;
inline constexpr int kModeLauncher = 1;

struct WindowPlacement {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// A system-wide hot key: modifier bits as Windows numbers them and a
// virtual-key code (0: no hot key).
inline constexpr unsigned kHotKeyAlt = 0x1;
inline constexpr unsigned kHotKeyCtrl = 0x2;
inline constexpr unsigned kHotKeyShift = 0x4;
inline constexpr unsigned kHotKeyWin = 0x8;
struct HotKey {
  unsigned modifiers = 0;
  unsigned key = 0;
  bool Off() const { return key == 0; }
  bool operator==(const HotKey&) const = default;
};
// Ctrl+Alt+Space: Windows keeps the Win combinations, Alt+Space, Ctrl+Alt+Del
// and Tab, and graphics drivers Ctrl+Alt with arrows and function keys; input
// methods take Ctrl+Space, Shift+Space and Alt with `, Caps Lock and the
// conversion keys; office programs fill Ctrl+Alt with letters and digits,
// Ctrl+Space and Ctrl+Shift+Space. None of them uses Ctrl+Alt+Space.
inline constexpr HotKey kDefaultHotKey{kHotKeyCtrl | kHotKeyAlt, 0x20};

// The settings value of a hot key: modifiers and one key joined by '+'
// ("Ctrl+Alt+Space", any case, blanks around the parts), the key a letter,
// a digit, F1 to F24 or Space; a letter, digit or Space needs Ctrl, Alt or
// Win, so that a system-wide hot key never takes plain typing. "off",
// "none", "0" or nothing: no hot key. nullopt when the text is none of these.
std::optional<HotKey> ParseHotKey(std::string_view text);
// The settings value of hot_key ("off" when it is off); ParseHotKey reads
// it back.
std::string FormatHotKey(const HotKey& hot_key);

struct LoadedSettings {
  // The mode value: 1 when the file holds any integer other than 0, else
  // 0. It holds whether or not the placement is applied.
  int mode = kModeRegistration;
  // True when the placement is to be applied (the sum of the four values
  // is not 0); the caller otherwise fits the window to the work area.
  bool placement_valid = false;
  WindowPlacement placement;
  // HOTKEY: the default when the key is missing; off, with hot_key_invalid
  // set, when its value cannot be read.
  HotKey hot_key = kDefaultHotKey;
  bool hot_key_invalid = false;
  // The find box's client size as last left (FINDWIDTH, FINDHEIGHT); 0:
  // never sized, or unreadable.
  std::int32_t find_width = 0;
  std::int32_t find_height = 0;
};

// A settings value as an integer: an optional sign ('+' or '-') and one or
// more ASCII digits, nothing else (the INI reader has trimmed the blanks;
// leading zeros are fine), within the signed 32-bit range. Anything else
// is nullopt, which the settings take as 0.
std::optional<std::int32_t> ParseDecimal(std::string_view text);

// Reads the settings from folder's settings file. A missing or unreadable
// file reads as all 0: registration mode, no placement.
LoadedSettings LoadSettings(const std::string& folder);

// Writes LEFT, TOP, WIDTH, HEIGHT (all 0 when maximized) and MODE into the
// settings file, keeping every other line of it; a file that would not
// change is left alone. False when the file could not be read or written;
// nothing is shown.
// find_size, when given, is written as FINDWIDTH and FINDHEIGHT.
struct FindBoxSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};
bool SaveSettings(const std::string& folder, const WindowPlacement& placement, bool maximized, int mode,
                  std::optional<FindBoxSize> find_size = std::nullopt);

}  // namespace korvane
