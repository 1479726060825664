#include "ui/wide.h"

#include "common/text.h"

namespace ui {

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int in = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, out.data(), n);
  return out;
}

std::string Narrow(std::wstring_view text) {
  if (text.empty()) return {};
  const int in = static_cast<int>(text.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), in, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), in, out.data(), n, nullptr, nullptr);
  return out;
}

std::size_t Units(std::wstring_view text) { return korvane::TextUnits(Narrow(text)); }

std::string TextOf(HWND window) {
  const int len = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(len > 0 ? len : 0) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return Narrow(text);
}

void SetTextOf(HWND window, std::string_view text) { SetWindowTextW(window, Wide(text).c_str()); }

}  // namespace ui
