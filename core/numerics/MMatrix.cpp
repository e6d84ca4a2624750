#include "numerics/MMatrix.h"

#include "runtime/KaLogger.h"

void _MVector::DbgPrintf(char const* header) const {
    if (header)
        dbgprintf("%s", header);
    dbgprintf("[% .5f % .5f % .5f %.5f]", m_v[0], m_v[1], m_v[2], m_v[3]);
}

void _MMatrix::SetLine(int i, _MVector const& v) {
    for (int c = 0; c < 4; ++c)
        (*this)[i][c] = v[c];
}

void _MMatrix::SetRow(int j, _MVector const& v) {
    for (int r = 0; r < 4; ++r)
        (*this)[r][j] = v[r];
}

void _MMatrix::GetLine(int i, _MVector& v) const {
    for (int c = 0; c < 4; ++c)
        v[c] = (*this)[i][c];
}

void _MMatrix::GetRow(int j, _MVector& v) const {
    for (int r = 0; r < 4; ++r)
        v[r] = (*this)[r][j];
}

double _MMatrix::Sarrus(int k) const {
    int c[3];
    for (int j = 0, n = 0; j < 4; ++j)
        if (j != k && n < 3)
            c[n++] = j;
    auto const& m = *this;
    return m[0][c[0]] * (m[1][c[1]] * m[2][c[2]] - m[1][c[2]] * m[2][c[1]]) -
           m[0][c[1]] * (m[1][c[0]] * m[2][c[2]] - m[1][c[2]] * m[2][c[0]]) +
           m[0][c[2]] * (m[1][c[0]] * m[2][c[1]] - m[1][c[1]] * m[2][c[0]]);
}

void _MMatrix::DbgPrintf(char const* header) const {
    if (header)
        dbgprintf("%s", header);
    auto const& m = m_m;
    dbgprintf("[[% .5f % .5f % .5f % .5f]", m[0][0], m[0][1], m[0][2], m[0][3]);
    dbgprintf(" [% .5f % .5f % .5f % .5f]", m[1][0], m[1][1], m[1][2], m[1][3]);
    dbgprintf(" [% .5f % .5f % .5f % .5f]", m[2][0], m[2][1], m[2][2], m[2][3]);
    dbgprintf(" [% .5f % .5f % .5f % .5f]]", m[3][0], m[3][1], m[3][2], m[3][3]);
}
