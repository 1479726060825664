#include "common/wide.h"

#include "common/text.h"

namespace korvane {

std::wstring Wide(std::string_view utf8) {
  const std::u16string text = Utf16FromUtf8(utf8);
  return std::wstring(text.begin(), text.end());
}

std::string Narrow(std::wstring_view text, bool* exact) {
  return Utf8FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()), exact);
}

std::size_t Units(std::wstring_view text) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code < 0xE000) {
      const bool pair = code < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
      // An unpaired surrogate counts as the U+FFFD it becomes in UTF-8.
      code = pair ? 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00) : 0xFFFD;
    }
    units += CharUnits(code);
  }
  return units;
}

std::wstring WideTextOf(HWND window) {
  const int len = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(len > 0 ? len : 0) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

std::string TextOf(HWND window) { return Narrow(WideTextOf(window)); }

void SetTextOf(HWND window, std::string_view text) { SetWindowTextW(window, Wide(text).c_str()); }

}  // namespace korvane
