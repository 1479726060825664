#include "grid/clipboard.h"

#include <shellapi.h>

#include <cstring>

#include "data/entry_path.h"
#include "grid/drop.h"
#include "ui/wide.h"

namespace korvane {

namespace {

UINT EntryFormat() {
  static const UINT format = RegisterClipboardFormatW(L"Korvane.Entry");
  return format;
}

// The clipboard, open for as long as this lives (when opened() says so).
class OpenClipboardScope {
 public:
  explicit OpenClipboardScope(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~OpenClipboardScope() {
    if (open_) CloseClipboard();
  }
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
  bool opened() const { return open_; }

 private:
  bool open_;
};

HGLOBAL GlobalCopy(const void* data, std::size_t bytes) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return nullptr;
  if (void* at = GlobalLock(memory)) {
    std::memcpy(at, data, bytes);
    GlobalUnlock(memory);
    return memory;
  }
  GlobalFree(memory);
  return nullptr;
}

// Hands memory to the clipboard, which owns it once that succeeds.
bool Put(UINT format, HGLOBAL memory) {
  if (!memory) return false;
  if (SetClipboardData(format, memory)) return true;
  GlobalFree(memory);
  return false;
}

std::wstring ClipboardText() {
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) return {};
  const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
  if (!text) return {};
  // The text ends at its terminator or at the block's end, whichever comes first.
  const std::size_t most = GlobalSize(data) / sizeof(wchar_t);
  std::size_t length = 0;
  while (length < most && text[length] != L'\0') ++length;
  std::wstring copy(text, length);
  GlobalUnlock(data);
  return copy;
}

}  // namespace

bool PutEntryOnClipboard(HWND owner, const std::string& path) {
  OpenClipboardScope clipboard(owner);
  if (!clipboard.opened() || !EmptyClipboard()) return false;
  const std::wstring text = ui::Wide(path);
  const DWORD process = GetCurrentProcessId();
  bool ok = Put(EntryFormat(), GlobalCopy(&process, sizeof process));
  if (!text.empty()) ok = Put(CF_UNICODETEXT, GlobalCopy(text.c_str(), (text.size() + 1) * sizeof(wchar_t))) && ok;
  return ok;
}

ClipboardPaste ReadClipboard(HWND owner) {
  ClipboardPaste paste;
  OpenClipboardScope clipboard(owner);
  if (!clipboard.opened()) return paste;
  if (IsClipboardFormatAvailable(EntryFormat())) {
    paste.kind = ClipboardPaste::Kind::Entry;
  } else if (HANDLE drop = IsClipboardFormatAvailable(CF_HDROP) ? GetClipboardData(CF_HDROP) : nullptr) {
    paste.kind = ClipboardPaste::Kind::Files;
    paste.names = DroppedNames(static_cast<HDROP>(drop));
  } else if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
    for (std::string& path : PastedPaths(ui::Narrow(ClipboardText()))) paste.names.emplace_back(std::move(path));
    if (!paste.names.empty()) paste.kind = ClipboardPaste::Kind::Text;
  }
  return paste;
}

bool ClipboardHasPaste() {
  return IsClipboardFormatAvailable(EntryFormat()) || IsClipboardFormatAvailable(CF_HDROP) ||
         IsClipboardFormatAvailable(CF_UNICODETEXT);
}

}  // namespace korvane
