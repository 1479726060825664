#include "tools/probe/probe.h"

#include <cwchar>

#include "common/wide.h"

namespace probe {

namespace {
std::string* g_out = nullptr;   // while a served command runs: its output
std::string* g_err = nullptr;

void Write(DWORD which, const std::string& line) {
  std::string* kept = which == STD_OUTPUT_HANDLE ? g_out : g_err;
  if (kept) {
    *kept += line;
    *kept += '\n';
    return;
  }
  WriteAll(GetStdHandle(which), line + "\n");
}
}  // namespace

void WriteAll(HANDLE to, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    if (!WriteFile(to, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) || !written)
      return;
    done += written;
  }
}

void PrintBytes(const std::string& bytes) {
  if (g_out) {
    *g_out += bytes;
  } else {
    WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), bytes);
  }
}

void KeepOutput(std::string* out, std::string* err) {
  g_out = out;
  g_err = err;
}

// The program's own conversions (common/wide.h).
std::string Utf8(const std::wstring& w) { return korvane::Narrow(w); }

std::wstring Wide(const std::string& utf8) { return korvane::Wide(utf8); }

void Print(const std::string& line) { Write(STD_OUTPUT_HANDLE, line); }
void PrintError(const std::string& line) { Write(STD_ERROR_HANDLE, line); }

void Need(const Args& args, std::size_t min, std::size_t max) {
  if (args.size() < min || args.size() > max) throw UsageError{"wrong number of arguments"};
}

const wchar_t* ClassOrAny(const std::wstring& s) { return s == L"-" ? nullptr : s.c_str(); }

long long Number(const std::wstring& s) {
  const wchar_t* p = s.c_str();
  bool negative = false;
  if (*p == L'-') {
    negative = true;
    ++p;
  }
  int base = 10;
  if (p[0] == L'0' && (p[1] == L'x' || p[1] == L'X')) {
    base = 16;
    p += 2;
  }
  if (*p == L'\0') throw UsageError{"not a number: " + Utf8(s)};
  wchar_t* end = nullptr;
  const unsigned long long v = std::wcstoull(p, &end, base);
  if (*end != L'\0') throw UsageError{"not a number: " + Utf8(s)};
  return negative ? -static_cast<long long>(v) : static_cast<long long>(v);
}

HWND Handle(const std::wstring& s) {
  return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(Number(s)));
}

std::string HexHandle(HWND h) {
  char buf[32];
  wsprintfA(buf, "0x%08lX", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(h)));
  return buf;
}

std::wstring ClassOf(HWND h) {
  wchar_t buf[256] = {};
  const int n = GetClassNameW(h, buf, 256);
  return std::wstring(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::wstring TextOf(HWND h) {
  // WM_GETTEXT reaches edit and combo boxes, whose text is not kept by the
  // system; the timeout keeps a hung program from hanging the probe. The
  // text the system keeps (captions, statics) is the fallback.
  DWORD_PTR len = 0;
  if (SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &len)) {
    std::wstring buf(static_cast<std::size_t>(len) + 1, L'\0');
    DWORD_PTR got = 0;
    if (SendMessageTimeoutW(h, WM_GETTEXT, len + 1, reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG, 2000,
                            &got)) {
      buf.resize(got <= len ? static_cast<std::size_t>(got) : static_cast<std::size_t>(len));
      return buf;
    }
  }
  return CaptionOf(h);
}

std::wstring CaptionOf(HWND h) {
  wchar_t buf[1024] = {};
  const int n = InternalGetWindowText(h, buf, 1024);
  return std::wstring(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

DWORD ProcessOf(HWND h) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  return pid;
}

std::wstring ExePathOf(DWORD pid) {
  const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return {};
  wchar_t path[MAX_PATH * 2] = {};
  DWORD size = MAX_PATH * 2;
  const BOOL ok = QueryFullProcessImageNameW(process.get(), 0, path, &size);
  return ok ? std::wstring(path, size) : std::wstring();
}

std::wstring ExeNameOf(DWORD pid) {
  const std::wstring full = ExePathOf(pid);
  const std::size_t slash = full.find_last_of(L"\\/");
  return slash == std::wstring::npos ? full : full.substr(slash + 1);
}

bool BelongsToExe(HWND h, const std::wstring& exe) {
  return lstrcmpiW(ExeNameOf(ProcessOf(h)).c_str(), exe.c_str()) == 0;
}

namespace {
BOOL CALLBACK Collect(HWND h, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
  return TRUE;
}
}  // namespace

std::vector<HWND> TopLevelWindows(const std::function<bool(HWND)>& keep) {
  std::vector<HWND> all;
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
  std::vector<HWND> kept;
  for (HWND h : all) {
    if (keep(h)) kept.push_back(h);
  }
  return kept;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&all));
  return all;
}

bool WaitFor(long long timeout_ms, const std::function<bool()>& found) {
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    if (found()) return true;
    if (static_cast<long long>(GetTickCount64() - start) >= timeout_ms) return false;
    Sleep(5);
  }
}

}  // namespace probe
