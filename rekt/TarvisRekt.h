#pragma once

// Umbrella header of libTarvisRekt: includes every public header of the library.
// A consumer compiles with the include directories core/ and rekt/ and includes
// only this (and Tarvis.h).

#include "TarvisRektExport.h"
