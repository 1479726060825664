#include "common/name_rules.h"

#include <algorithm>
#include <string>

namespace korvane {

bool IsBlankName(std::string_view name) {
  for (char c : name) {
    if (static_cast<unsigned char>(c) > 0x20) return false;
  }
  return true;
}

bool IsReservedDeviceName(std::string_view name) {
  // '.' and ASCII letters never stand inside a longer UTF-8 character.
  std::string stem(name.substr(0, std::min(name.find('.'), name.size())));
  while (!stem.empty() && (stem.back() == ' ' || stem.back() == '\t')) stem.pop_back();
  for (char& c : stem) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  static constexpr std::string_view kFixed[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (std::string_view r : kFixed) {
    if (stem == r) return true;
  }
  if (!stem.starts_with("COM") && !stem.starts_with("LPT")) return false;
  const std::string_view number = std::string_view(stem).substr(3);
  if (number.size() == 1) return number[0] >= '1' && number[0] <= '9';
  return number == "\u00B9" || number == "\u00B2" || number == "\u00B3";
}

bool HasControlByte(std::string_view name) {
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return true;
  }
  return false;
}

bool HasForbiddenCharacter(std::string_view name) {
  return name.find_first_of("\\/:*?\"<>|") != std::string_view::npos;
}

}  // namespace korvane
