#pragma once
// The Win32 tests' kit, one namespace (kit) in one place:
//   support.h         the application object of the test process, pumping
//                     messages until a condition holds, posted and real
//                     input, forms ready for tests;
//   dialog_support.h  the scripted fake of the system seam, steps run while
//                     a modal loop runs, the clipboard, message boxes found;
//   main_support.h    the one main-window fixture, MainWindowTest: the
//                     window over a data folder (or made as the program
//                     makes it), input to its grid and list, its pixels,
//                     a share that answers when told;
//   drop_data.h       HDROP data as Explorer builds it (include it where
//                     files are dropped).
#include "dialog_support.h"
#include "main_support.h"
#include "support.h"
