// The program's version, in one place: the exe's version record and the
// release package's name (scripts/package.sh reads KORVANE_FILE_VERSION_TEXT).
#pragma once

#define KORVANE_FILE_VERSION 1,0,0,1
#define KORVANE_FILE_VERSION_TEXT "1.0.0.1"
#define KORVANE_PRODUCT_VERSION 1,0,0,0
#define KORVANE_PRODUCT_VERSION_TEXT "1.0.0.0"
