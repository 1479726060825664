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

}  // namespace ui
