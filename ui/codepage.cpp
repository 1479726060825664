#include "ui/codepage.h"

#include <windows.h>

#include "common/text.h"

namespace ui {

std::wstring Widen(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(kCodePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(kCodePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

std::string Narrow(std::wstring_view text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(kCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(kCodePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::size_t ByteLength(std::wstring_view text) {
  if (text.empty()) return 0;
  return static_cast<std::size_t>(WideCharToMultiByte(kCodePage, 0, text.data(), static_cast<int>(text.size()),
                                                      nullptr, 0, nullptr, nullptr));
}

std::size_t CharIndexOfByte(std::string_view bytes, std::size_t byte_offset) {
  if (byte_offset > bytes.size()) byte_offset = bytes.size();
  // Never count the first half of a double-byte character.
  if (byte_offset > 0 && byte_offset < bytes.size() &&
      korvane::ClassifyByte(bytes, byte_offset) == korvane::ByteClass::Trail) {
    --byte_offset;
  }
  return Widen(bytes.substr(0, byte_offset)).size();
}

}  // namespace ui
