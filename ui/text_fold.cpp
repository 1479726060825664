#include "ui/text_fold.h"

#include <windows.h>

#include "ui/wide.h"

namespace ui {

namespace {
// The mapping of the Japanese locale, whatever the user's: the program's text
// is Japanese, and lower case stays the same on every system.
const LCID kJapanese = MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT);
constexpr DWORD kFold = LCMAP_FULLWIDTH | LCMAP_HIRAGANA | LCMAP_LOWERCASE;
}  // namespace

std::u16string FoldForComparison(std::string_view utf8) {
  const std::wstring wide = Wide(utf8);
  if (wide.empty()) return {};
  const int in = static_cast<int>(wide.size());
  // Joining voiced marks only shortens; the first try fits nearly always.
  std::wstring out(wide.size(), L'\0');
  int n = LCMapStringW(kJapanese, kFold, wide.data(), in, out.data(), static_cast<int>(out.size()));
  if (n == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    n = LCMapStringW(kJapanese, kFold, wide.data(), in, nullptr, 0);
    out.resize(static_cast<std::size_t>(n));
    n = LCMapStringW(kJapanese, kFold, wide.data(), in, out.data(), n);
  }
  if (n <= 0) return std::u16string(wide.begin(), wide.end());   // unfolded rather than lost
  return std::u16string(out.begin(), out.begin() + n);
}

}  // namespace ui
