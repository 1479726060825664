#pragma once
// Entries that follow a USB stick: a file chosen or dropped on the removable
// drive the program runs from is stored without its drive letter, and such
// a path, or a relative one, is resolved against the exe's drive and folder
// wherever a path is tested, given an icon or launched. So the groups keep
// working when the stick gets another letter on another computer. Paths use
// Windows' separators on every platform (pure string arithmetic).
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// The path to store for a file chosen or dropped as `chosen` (a full path).
// When the exe runs from a removable drive (exe_on_removable) and chosen
// lies on that same drive, the drive letter goes ("E:\業務\見積書.xls" with
// the exe in "E:\Korvane\" gives "\業務\見積書.xls"); any other path is
// stored as chosen.
std::string StoredPathFor(std::string_view chosen, std::string_view exe_folder, bool exe_on_removable);

// The full path a stored path names, for the existence test, the icon and
// the launch. A path with a drive letter ("C:\x", "C:x") or a share
// ("\\server\share\x") is taken as it is. One rooted on no drive ("\x")
// lies on the exe's drive (or its share); a relative one (".\x", "..\x",
// "x") lies below the exe's folder. "." and ".." steps of those are
// resolved, never above the drive's root. An empty path stays empty.
std::string ResolveEntryPath(std::string_view stored, std::string_view exe_folder);

// The paths a text copied to the clipboard names, one a line (as a file
// manager's "copy as path" gives them): spaces around a line and the
// double quotes around a path go; empty lines are skipped. Nothing is
// tested here: a line that is no full path ("C:\x", "\\server\x") is
// kept for the caller to refuse by name (IsFullPath).
std::vector<std::string> PastedPaths(std::string_view text);
// A path with a drive letter and its root ("C:\x") or on a share.
bool IsFullPath(std::string_view path);

}  // namespace korvane
