#include "ui/text_out.h"

#include <usp10.h>

namespace ui {

namespace {
// A Uniscribe analysis of one line, freed when it goes.
class Analysis {
 public:
  Analysis(HDC dc, std::wstring_view text) {
    const int n = static_cast<int>(text.size());
    if (FAILED(ScriptStringAnalyse(dc, text.data(), n, n * 3 / 2 + 16, -1, SSA_GLYPHS | SSA_FALLBACK, 0, nullptr,
                                   nullptr, nullptr, nullptr, nullptr, &ssa_))) {
      ssa_ = nullptr;
    }
  }
  ~Analysis() {
    if (ssa_) ScriptStringFree(&ssa_);
  }
  Analysis(const Analysis&) = delete;
  Analysis& operator=(const Analysis&) = delete;
  SCRIPT_STRING_ANALYSIS get() const { return ssa_; }

 private:
  SCRIPT_STRING_ANALYSIS ssa_ = nullptr;
};
}  // namespace

bool HasSurrogatePair(std::wstring_view text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] >= 0xD800 && text[i] <= 0xDBFF && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) return true;
  }
  return false;
}

void DrawWholeText(HDC dc, int x, int y, UINT options, const RECT* clip, std::wstring_view text) {
  if (HasSurrogatePair(text)) {
    const Analysis a(dc, text);
    if (a.get() && SUCCEEDED(ScriptStringOut(a.get(), x, y, options, clip, 0, 0, FALSE))) return;
  }
  ExtTextOutW(dc, x, y, options, clip, text.data(), static_cast<UINT>(text.size()), nullptr);
}

SIZE WholeTextExtent(HDC dc, std::wstring_view text) {
  if (HasSurrogatePair(text)) {
    const Analysis a(dc, text);
    if (a.get()) {
      if (const SIZE* size = ScriptString_pSize(a.get())) return *size;
    }
  }
  SIZE size{};
  GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
  return size;
}

void DrawLineText(HDC dc, std::wstring_view text, RECT r, UINT format) {
  if (!HasSurrogatePair(text)) {
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r, format | DT_SINGLELINE);
    return;
  }
  const SIZE size = WholeTextExtent(dc, text);
  int x = r.left;
  if (format & DT_RIGHT) x = r.right - size.cx;
  else if (format & DT_CENTER) x = r.left + (r.right - r.left - size.cx) / 2;
  const int y = (format & DT_VCENTER) ? r.top + (r.bottom - r.top - size.cy) / 2 : r.top;
  DrawWholeText(dc, x, y, ETO_CLIPPED, &r, text);
}

std::wstring FitPathText(HDC dc, std::wstring_view path, int width) {
  const auto fits = [&](std::wstring_view text) { return WholeTextExtent(dc, text).cx <= width; };
  if (fits(path)) return std::wstring(path);
  const auto low_half = [](wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
  constexpr wchar_t kEllipsis[] = L"\u2026";
  const std::size_t sep = path.find_last_of(L"\\:");
  const std::wstring_view name = sep == std::wstring_view::npos ? path : path.substr(sep);
  // The file name whole after "…", and as much of the beginning as fits.
  if (fits(std::wstring(kEllipsis) + std::wstring(name))) {
    // The widths grow with the beginning kept: the longest that fits, by halves.
    std::size_t keep = 0, over = path.size() - name.size() + 1;
    while (over - keep > 1) {
      const std::size_t n = (keep + over) / 2;
      if (fits(std::wstring(path.substr(0, n)) + kEllipsis + std::wstring(name))) keep = n;
      else over = n;
    }
    if (keep > 0 && low_half(path[keep])) --keep;
    return std::wstring(path.substr(0, keep)) + kEllipsis + std::wstring(name);
  }
  // Only the end of the name.
  std::size_t from = path.size();
  while (from > 0) {
    std::size_t next = from - 1;
    if (next > 0 && low_half(path[next])) --next;
    if (!fits(kEllipsis + std::wstring(path.substr(next)))) break;
    from = next;
  }
  return kEllipsis + std::wstring(path.substr(from));
}

}  // namespace ui
