#pragma once
// The entry grid and the Windows clipboard. A copied or cut entry puts its
// path there as text (for other programs) with a mark of its own beside it,
// so that a paste here takes the whole entry from the program's own
// clipboard; what other programs put there is read as names to register:
// a file list (a file manager's copy) or a path as text, one a line.
// Opening the clipboard touches no path.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace korvane {

struct ClipboardPaste {
  enum class Kind {
    None,   // nothing of use, or the clipboard could not be opened
    Entry,  // the program's own entry: take it from the History's clipboard
    Files,  // a file list
    Text,   // paths as text, quotes stripped
  };
  Kind kind = Kind::None;
  // Files and Text: in UTF-8; a name UTF-8 cannot spell is nullopt.
  std::vector<std::optional<std::string>> names;
};

// Puts an entry's path on the clipboard as text, with the program's mark.
bool PutEntryOnClipboard(HWND owner, const std::string& path);
// What a paste would take, the program's own entry first, then a file
// list, then text.
ClipboardPaste ReadClipboard(HWND owner);
// Whether the clipboard holds anything ReadClipboard could use (without
// opening it).
bool ClipboardHasPaste();

}  // namespace korvane
