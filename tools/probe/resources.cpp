// What an exe carries: a resource's bytes, its version record.
#include "tools/probe/probe.h"

namespace probe {

namespace {
// A resource type or name on the command line: #N or a bare number is an
// id, anything else a name.
struct ResourceId {
  std::wstring text;
  LPCWSTR get() const {
    const std::wstring digits = text[0] == L'#' ? text.substr(1) : text;
    if (!digits.empty() && digits.find_first_not_of(L"0123456789") == std::wstring::npos) {
      return MAKEINTRESOURCEW(static_cast<WORD>(Number(digits)));
    }
    return text.c_str();
  }
};

// The exe's resources loaded as data only: nothing of it runs.
struct DataModule {
  HMODULE module;
  explicit DataModule(const std::wstring& path)
      : module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  ~DataModule() {
    if (module) FreeLibrary(module);
  }
};

int ResourceCmd(const Args& a) {
  Need(a, 3, 3);
  const DataModule exe(a[0]);
  if (!exe.module) {
    PrintError("cannot load " + Utf8(a[0]));
    return kFailed;
  }
  const ResourceId type{a[1]}, name{a[2]};
  HRSRC found = FindResourceW(exe.module, name.get(), type.get());
  HGLOBAL loaded = found ? LoadResource(exe.module, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) {
    PrintError("no resource " + Utf8(a[1]) + " " + Utf8(a[2]));
    return kFailed;
  }
  PrintBytes(std::string(static_cast<const char*>(bytes), SizeofResource(exe.module, found)));
  return kOk;
}

std::string Dotted(DWORD high, DWORD low) {
  return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." + std::to_string(HIWORD(low)) +
         "." + std::to_string(LOWORD(low));
}

int VersionCmd(const Args& a) {
  Need(a, 1, 1);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(a[0].c_str(), &ignored);
  std::string record(size, '\0');
  if (!size || !GetFileVersionInfoW(a[0].c_str(), 0, size, record.data())) {
    PrintError("no version record in " + Utf8(a[0]));
    return kFailed;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed) return kFailed;
  Print("file " + Dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS));
  Print("product " + Dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS));
  struct Translation {
    WORD language, code_page;
  }* translations = nullptr;
  if (!VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                      &length)) {
    return kFailed;
  }
  for (UINT t = 0; t < length / sizeof *translations; ++t) {
    wchar_t block[64];
    wsprintfW(block, L"\\StringFileInfo\\%04X%04X\\", translations[t].language, translations[t].code_page);
    for (const wchar_t* key : {L"FileVersion", L"ProductVersion", L"ProductName", L"OriginalFilename"}) {
      wchar_t* value = nullptr;
      UINT chars = 0;
      if (VerQueryValueW(record.data(), (std::wstring(block) + key).c_str(), reinterpret_cast<void**>(&value),
                         &chars) &&
          value) {
        Print(Utf8(key) + " " + Utf8(value));
      }
    }
  }
  return kOk;
}
}  // namespace

const std::vector<CommandInfo>& ResourceCommands() {
  static const std::vector<CommandInfo> table{
      {L"resource", ResourceCmd,
       "<windows-path> <type> <name>: the resource's bytes as they are (#N or N for an id, e.g. 24 1 for the "
       "manifest)"},
      {L"version", VersionCmd,
       "<windows-path>: the version record: file and product version, then the version texts of each language"},
  };
  return table;
}

}  // namespace probe
