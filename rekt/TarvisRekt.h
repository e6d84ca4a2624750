#pragma once

// Umbrella header of libTarvisRekt: includes every public header of the library.
// A consumer compiles with the include directories core/ and rekt/ and includes
// only this (and Tarvis.h).

#include "TarvisRektExport.h"
#include "measure/KaCalcReseauTrafo.h"
#include "measure/KaDigitizer.h"
#include "measure/KaMeasure.h"
#include "measure/KaMeasureControl.h"
#include "measure/KaReseauMeasurement.h"
#include "measure/KaVorwartsschnitt.h"
#include "project/KaGeneralTarvoSettings.h"
#include "project/KaProject.h"
#include "project/KaStringList.h"
#include "project/KaVirtualProject.h"
#include "rectify/KaDigitalRekt.h"
#include "rectify/KaRektCutHelper.h"
#include "rectify/KaRektMosaik.h"
