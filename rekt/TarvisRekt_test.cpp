// Compiles the umbrella header the way a consumer of the library does.
#include "TarvisRekt.h"

#include <gtest/gtest.h>

TEST(Umbrella, CompilesAlone) {
    SUCCEED();
}
