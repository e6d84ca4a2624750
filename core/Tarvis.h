#pragma once

// Umbrella header of libTarvis: includes every public header of the library.
// A consumer compiles with the include directory core/ and includes only this.

#include "TarvisExport.h"
#include "foundation/String.h"
#include "foundation/Link.h"
#include "foundation/KaObserver.h"
#include "foundation/KaObject.h"
#include "foundation/KaListHeader.h"
#include "foundation/KaFilter.h"
#include "textio/KaParser.h"
#include "textio/KaFormatTable.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"
#include "textio/KaFileName.h"
#include "model/KaPoint.h"
#include "model/KaPointList.h"
#include "runtime/KaLogger.h"
#include "geometry/KaLine.h"
#include "geometry/KaRegion.h"
#include "geometry/KaPolygon.h"
