#pragma once

#include "TarvisExport.h"
#include "foundation/KaObject.h"
#include "numerics/KaTrafo2d.h"

#include <iosfwd>

class KaReaderObject;

// One reseau transformation of a photo (pixel to pre-corrected, or pre-corrected
// to image coordinates, or the inverse of a polynomial main transformation).
// The name is filled only by the old record layout, where it carried the name of
// the reseau file the transformation was computed with.
class TARVIS_API KaReseauTrafo : public KaTrafo2d, public KaObject {
public:
    KaReseauTrafo() = default;
    // Type and coefficients of trafo; identifier 0 and no name.
    KaReseauTrafo(KaTrafo2d const& trafo);
    KaReseauTrafo(KaReseauTrafo const& other) = default;
    // Copies identifier, type and coefficients; the name of this object stays.
    KaReseauTrafo& operator=(KaReseauTrafo const& other);
    ~KaReseauTrafo() override;

    // A reader handler for the transformation record (type, then coefficients).
    int Read(KaReaderObject* object);
    // A reader handler for the old record: the old type code with its
    // coefficients, then the quoted reseau file name, which becomes the name.
    int ReadV50(KaReaderObject* object);
    // The transformation record; the name is not written.
    void Write(std::ostream& os) const;
};
