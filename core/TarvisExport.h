#pragma once

// Everything the library exports is marked TARVIS_API; the rest stays hidden
// (the library is built with -fvisibility=hidden).
#if defined(_WIN32)
#if defined(TARVIS_BUILDING)
#define TARVIS_API __declspec(dllexport)
#else
#define TARVIS_API __declspec(dllimport)
#endif
#else
#define TARVIS_API __attribute__((visibility("default")))
#endif
