#pragma once
// Text folded for comparison by the system's own mapping: letters in lower
// case, every character full width (half-width katakana joined with their
// voiced marks), katakana as hiragana. Two texts that differ only in case,
// width or kana kind fold to the same units; readings are not folded (せい
// and 請 stay apart).
#include <string>
#include <string_view>

namespace ui {

// UTF-8 text folded, in UTF-16 units.
std::u16string FoldForComparison(std::string_view utf8);

}  // namespace ui
