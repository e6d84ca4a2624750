#pragma once

// Everything the project, measurement and rectification library exports is
// marked TARVISREKT_API; the rest stays hidden (built with -fvisibility=hidden).
#if defined(_WIN32)
#if defined(TARVISREKT_BUILDING)
#define TARVISREKT_API __declspec(dllexport)
#else
#define TARVISREKT_API __declspec(dllimport)
#endif
#else
#define TARVISREKT_API __attribute__((visibility("default")))
#endif
