#pragma once

#include "TarvisExport.h"
#include "foundation/KaListHeader.h"
#include "model/KaPoint.h"

#include <iosfwd>

class KaReaderErrorList;

// An owning list of points that carries its own column mask.
class TARVIS_API KaPointList : public TKaListHeader<KaPoint>, public KaPointFormat {
public:
    KaPointList() = default;
    explicit KaPointList(KaPointFormat const& mask);
    // Reads the file at once.
    KaPointList(String const& filename, KaPointFormat const& mask);
    KaPointList(KaPointList const& other);
    using TKaListHeader<KaPoint>::operator=;
    KaPointList& operator=(KaPointList const& other);
    ~KaPointList() override;

    KaPointFormat const& GetMask() const { return *this; }
    void SetMask(KaPointFormat const& mask) { KaPointFormat::SetTable(mask); }

    using TKaListHeader<KaPoint>::Find;
    // photoId 0 matches any photo. With start: from start to the tail, then from
    // start to the head.
    KaPoint* Find(unsigned int id, unsigned int photoId, KaPoint* start = nullptr) const;
    // The point nearest to p in 3D (the first of equal ones); none for an empty list.
    KaPoint* FindNearest(KaPoint const& p, double* distance = nullptr) const;

    // A reader handler: points in the list's columns up to the closing brace of
    // the block or the end of the input.
    int Read(KaReaderObject* object);
    void Write(std::ostream& os) const;

    // Adds the points of a point file; returns the number of points in the list.
    int ReadFile(String const& name, KaPointFormat const& mask);
    // The same, handing the read errors to the caller (null: dropped).
    int ReadFile(String const& name, KaPointFormat const& mask, KaReaderErrorList* errors);
    // Writes the list to a temporary file renamed into place; 1 on success.
    int WriteFile(String const& name);
    int WriteFile(String const& name, KaPointFormat const& mask);
};

// The number of points of a whose number occurs in b; copies of them go to out.
TARVIS_API int FindKaPointById(KaPointList const& a, KaPointList const& b, KaPointList* out);

// The column titles of a mask, without a line end.
TARVIS_API std::ostream& operator<<(std::ostream& os, KaPointFormat const& mask);
