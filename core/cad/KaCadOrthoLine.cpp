#include "cad/KaCadOrthoLine.h"

#include <cmath>

KaCadOrthoLine::KaCadOrthoLine(KaPoint3d const& start, KaPoint3d const& target)
    : m_result(target), m_start(start), m_target(target) {
    KaVector3d const d = target - start;
    double const length = d.Norm();
    if (!(length > 0.0) || !std::isfinite(length)) {
        m_valid = false;
        return;
    }
    int axis = 0;
    for (int i = 1; i < 3; ++i)
        if (std::fabs(d[i]) > std::fabs(d[axis]))
            axis = i;
    m_result = start;
    m_result[axis] = target[axis];
    m_valid = true;
}

KaCadOrthoLine::~KaCadOrthoLine() = default;
