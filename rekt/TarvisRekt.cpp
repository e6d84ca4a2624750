#include "TarvisRekt.h"
