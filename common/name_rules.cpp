#include "common/name_rules.h"

#include <string>

#include "common/text.h"

namespace korvane {

bool IsBlankName(std::string_view name) {
  for (char c : name) {
    if (static_cast<unsigned char>(c) > 0x20) return false;
  }
  return true;
}

bool IsReservedDeviceName(std::string_view name) {
  std::size_t end = name.size();
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '.' && ClassifyByte(name, i) != ByteClass::Trail) {
      end = i;
      break;
    }
  }
  std::string stem(name.substr(0, end));
  while (!stem.empty() && (stem.back() == ' ' || stem.back() == '\t')) stem.pop_back();
  for (char& c : stem) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  static constexpr std::string_view kFixed[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (std::string_view r : kFixed) {
    if (stem == r) return true;
  }
  return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' &&
         stem[3] <= '9';
}

bool HasControlByte(std::string_view name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (static_cast<unsigned char>(name[i]) < 0x20 && ClassifyByte(name, i) != ByteClass::Trail) return true;
  }
  return false;
}

}  // namespace korvane
