#pragma once

// Umbrella header of libTarvis: includes every public header of the library.
// A consumer compiles with the include directory core/ and includes only this.

#include "TarvisExport.h"
#include "foundation/KaFilter.h"
#include "foundation/KaListHeader.h"
#include "foundation/KaObject.h"
#include "foundation/KaObserver.h"
#include "foundation/Link.h"
#include "foundation/String.h"
#include "geometry/KaLine.h"
#include "geometry/KaPolygon.h"
#include "geometry/KaRegion.h"
#include "model/KaPoint.h"
#include "model/KaPointList.h"
#include "runtime/KaLogger.h"
#include "textio/KaFileName.h"
#include "textio/KaFormatTable.h"
#include "textio/KaParser.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"
#include "numerics/KaMatrix.h"
