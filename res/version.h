// The program's version, in one place: the exe's version record (file and
// product version alike) and the release package's name and readme
// (scripts/package.sh reads KORVANE_VERSION_TEXT). The two lines say the
// same number.
#pragma once

#define KORVANE_VERSION 1,0,0,1
#define KORVANE_VERSION_TEXT "1.0.0.1"
