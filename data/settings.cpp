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
constexpr std::string_view kHotKeyName = "HOTKEY";
constexpr std::string_view kFindWidth = "FINDWIDTH";
constexpr std::string_view kFindHeight = "FINDHEIGHT";

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

struct ModifierName {
  std::string_view name;
  unsigned bit;
};
// In the order FormatHotKey writes them.
constexpr ModifierName kModifierNames[] = {
    {"Ctrl", kHotKeyCtrl}, {"Control", kHotKeyCtrl}, {"Alt", kHotKeyAlt}, {"Shift", kHotKeyShift}, {"Win", kHotKeyWin}};
constexpr unsigned kSpaceKey = 0x20;
constexpr unsigned kF1Key = 0x70;

// The virtual-key code of a key name, or 0.
unsigned KeyCode(std::string_view name) {
  if (name.size() == 1) {
    const char c = name[0];
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c);
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned>(c);
    if (c >= 'a' && c <= 'z') return static_cast<unsigned>(c - 'a' + 'A');
    return 0;
  }
  if (SameNoCase(name, "Space")) return kSpaceKey;
  if ((name[0] == 'F' || name[0] == 'f') && name.size() <= 3) {
    const std::optional<std::int32_t> n = name[1] == '0' ? std::nullopt : ParseDecimal(name.substr(1));
    if (n && *n >= 1 && *n <= 24) return kF1Key + static_cast<unsigned>(*n - 1);
  }
  return 0;
}

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

std::optional<HotKey> ParseHotKey(std::string_view text) {
  text = Trim(text);
  if (text.empty() || text == "0" || SameNoCase(text, "off") || SameNoCase(text, "none")) return HotKey{};
  HotKey hot_key;
  while (true) {
    const std::size_t plus = text.find('+');
    const std::string_view part = Trim(text.substr(0, plus));
    if (plus == std::string_view::npos) {
      hot_key.key = KeyCode(part);
      break;
    }
    unsigned bit = 0;
    for (const ModifierName& m : kModifierNames)
      if (SameNoCase(part, m.name)) bit = m.bit;
    if (bit == 0 || (hot_key.modifiers & bit)) return std::nullopt;
    hot_key.modifiers |= bit;
    text.remove_prefix(plus + 1);
  }
  if (hot_key.key == 0) return std::nullopt;
  const bool function_key = hot_key.key >= kF1Key;
  if (!function_key && !(hot_key.modifiers & (kHotKeyCtrl | kHotKeyAlt | kHotKeyWin))) return std::nullopt;
  return hot_key;
}

std::string FormatHotKey(const HotKey& hot_key) {
  if (hot_key.Off()) return "off";
  std::string text;
  for (const ModifierName& m : kModifierNames)
    if ((hot_key.modifiers & m.bit) && m.name != "Control") text.append(m.name).push_back('+');
  if (hot_key.key == kSpaceKey) {
    text += "Space";
  } else if (hot_key.key >= kF1Key) {
    text += "F" + std::to_string(hot_key.key - kF1Key + 1);
  } else {
    text.push_back(static_cast<char>(hot_key.key));
  }
  return text;
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
    const std::int32_t find_width = ReadInt(doc, kFindWidth), find_height = ReadInt(doc, kFindHeight);
    if (find_width > 0 && find_height > 0) {
      settings.find_width = find_width;
      settings.find_height = find_height;
    }
    // Two defaults tell a missing key from one with an empty value.
    if (doc.Get(kSection, kHotKeyName, "a") == doc.Get(kSection, kHotKeyName, "b")) {
      const std::optional<HotKey> hot_key = ParseHotKey(doc.Get(kSection, kHotKeyName));
      settings.hot_key = hot_key.value_or(HotKey{});
      settings.hot_key_invalid = !hot_key;
    }
  } catch (const std::exception&) {
    settings.placement_valid = false;
  }
  return settings;
}

bool SaveSettings(const std::string& folder, const WindowPlacement& placement, bool maximized, int mode,
                  std::optional<FindBoxSize> find_size) {
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
    if (find_size) {
      doc.Set(kSection, kFindWidth, std::to_string(find_size->width));
      doc.Set(kSection, kFindHeight, std::to_string(find_size->height));
    }
    if (bytes && *bytes == doc.Bytes()) return true;   // left alone, time stamps too
    return static_cast<bool>(os::ReplaceFile(path, doc.Bytes()));
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace korvane
