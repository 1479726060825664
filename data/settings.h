#pragma once
// The settings file "Korvane.INI" in the data folder (the exe's folder):
// the main window's placement and the mode value, section "Korvane".
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

struct LoadedSettings {
  // The mode value: 1 when the file holds any integer other than 0, else
  // 0. It holds whether or not the placement is applied.
  int mode = kModeRegistration;
  // True when the placement is to be applied (the sum of the four values
  // is not 0); the caller otherwise fits the window to the work area.
  bool placement_valid = false;
  WindowPlacement placement;
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
bool SaveSettings(const std::string& folder, const WindowPlacement& placement, bool maximized, int mode);

}  // namespace korvane
