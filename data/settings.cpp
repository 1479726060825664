#include "data/settings.h"

#include <cstdlib>
#include <exception>
#include <limits>

#include "data/ini.h"
#include "data/os.h"

namespace korvane {

namespace {
constexpr std::string_view kSection = "Korvane";
constexpr std::string_view kLeft = "LEFT";
constexpr std::string_view kTop = "TOP";
constexpr std::string_view kWidth = "WIDTH";
constexpr std::string_view kHeight = "HEIGHT";
constexpr std::string_view kMode = "MODE";

std::int32_t ReadInt(const IniDocument& doc, std::string_view key) {
  return ParseDecimal(doc.Get(kSection, key, "0")).value_or(0);
}

// A negative size counts by its absolute value; -2147483648 has none in 32
// bits and counts as 0.
std::int32_t AbsoluteSize(std::int32_t value) {
  if (value == std::numeric_limits<std::int32_t>::min()) return 0;
  return value < 0 ? -value : value;
}
}  // namespace

std::optional<std::int32_t> ParseDecimal(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

LoadedSettings LoadSettings(const std::string& folder) {
  LoadedSettings settings;
  try {
    const std::optional<std::string> bytes = os::ReadFile(os::JoinPath(folder, kSettingsFileName));
    if (!bytes) return settings;
    const IniDocument doc(*bytes);
    if (!doc.Readable()) return settings;
    // Read in the file's key order; the mode holds even when the placement
    // is not applied.
    const std::int32_t left = ReadInt(doc, kLeft);
    const std::int32_t top = ReadInt(doc, kTop);
    const std::int32_t width = AbsoluteSize(ReadInt(doc, kWidth));
    const std::int32_t height = AbsoluteSize(ReadInt(doc, kHeight));
    const std::int32_t mode = ReadInt(doc, kMode);
    settings.mode = mode == kModeRegistration ? kModeRegistration : kModeLauncher;
    const std::int64_t sum = std::int64_t{left} + top + width + height;
    settings.placement = {left, top, width, height};
    settings.placement_valid = sum != 0;
  } catch (const std::exception&) {
    settings.placement_valid = false;
  }
  return settings;
}

bool SaveSettings(const std::string& folder, const WindowPlacement& placement, bool maximized, int mode) {
  try {
    const std::string path = os::JoinPath(folder, kSettingsFileName);
    std::uint32_t error = 0;
    std::optional<std::string> bytes = os::ReadFile(path, &error);
    if (!bytes && !os::IsNotFound(error)) return false;   // never replaced by a fresh file
    IniDocument doc(bytes ? *bytes : std::string());
    if (!doc.Readable()) return false;
    const WindowPlacement written = maximized ? WindowPlacement{} : placement;
    doc.Set(kSection, kLeft, std::to_string(written.left));
    doc.Set(kSection, kTop, std::to_string(written.top));
    doc.Set(kSection, kWidth, std::to_string(written.width));
    doc.Set(kSection, kHeight, std::to_string(written.height));
    doc.Set(kSection, kMode, std::to_string(mode));
    if (bytes && *bytes == doc.Bytes()) return true;   // left alone, time stamps too
    return static_cast<bool>(os::ReplaceFile(path, doc.Bytes()));
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace korvane
