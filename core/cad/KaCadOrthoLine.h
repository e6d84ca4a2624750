#pragma once

#include "TarvisExport.h"
#include "geometry/KaVector3d.h"

// An axis-parallel line from start towards target: the result keeps target's
// coordinate on the axis along which target - start is largest (x before y
// before z on ties) and start's coordinates on the other two.
class TARVIS_API KaCadOrthoLine {
public:
    KaCadOrthoLine(KaPoint3d const& start, KaPoint3d const& target);
    KaCadOrthoLine(KaCadOrthoLine const& other) = default;
    KaCadOrthoLine& operator=(KaCadOrthoLine const& other) = default;
    virtual ~KaCadOrthoLine();

    // False when start and target coincide or are not finite; the result is then target.
    bool IsValid() const { return m_valid; }
    KaPoint3d const& Result() const { return m_result; }
    KaPoint3d const& Start() const { return m_start; }
    KaPoint3d const& Target() const { return m_target; }

private:
    KaPoint3d m_result;
    KaPoint3d m_start;
    KaPoint3d m_target;
    bool m_valid = false;
};
