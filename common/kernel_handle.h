#pragma once
// Owned kernel handles: files and mutexes (CloseHandle) and directory
// searches (FindClose). CreateFile and FindFirstFile answer
// INVALID_HANDLE_VALUE for none, CreateMutex null: neither is ever closed.
#include <windows.h>

#include "common/unique_handle.h"

namespace korvane {

inline HANDLE InvalidHandleValue() { return INVALID_HANDLE_VALUE; }
inline BOOL CloseKernelHandle(HANDLE h) { return CloseHandle(h); }
inline BOOL CloseFind(HANDLE h) { return FindClose(h); }

using KernelHandle = UniqueHandle<HANDLE, &CloseKernelHandle, &InvalidHandleValue>;
using FindHandle = UniqueHandle<HANDLE, &CloseFind, &InvalidHandleValue>;

}  // namespace korvane
