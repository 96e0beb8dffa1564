#pragma once
// The Windows API for the few file operations the C++ library does not offer (attributes,
// exclusive creation, flushing to the disk, replacing a file), without the macros of
// <windows.h> that would clash with standard names (min, max). Included by .cpp files only,
// never by a header of the room.

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#endif
