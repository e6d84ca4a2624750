#pragma once

#include "TarvisExport.h"

#include <array>

// Four doubles x, y, z, w: the storage of the homogeneous 3D points and vectors.
class TARVIS_API _MVector {
public:
    _MVector(_MVector const& other) = default;
    _MVector& operator=(_MVector const& other) = default;

    double x() const { return m_v[0]; }
    double y() const { return m_v[1]; }
    double z() const { return m_v[2]; }
    double& x() { return m_v[0]; }
    double& y() { return m_v[1]; }
    double& z() { return m_v[2]; }
    // 0-based, 0 <= i <= 3 (w at 3); not checked.
    double operator[](int i) const { return m_v[static_cast<unsigned>(i)]; }
    double& operator[](int i) { return m_v[static_cast<unsigned>(i)]; }

    void DbgPrintf(char const* header) const;

protected:
    // Note the order: w comes first.
    explicit _MVector(double w = 0.0, double x = 0.0, double y = 0.0, double z = 0.0) : m_v{x, y, z, w} {}

private:
    std::array<double, 4> m_v;
};

// A 4x4 matrix of doubles, row-major, 0-based and unchecked.
class TARVIS_API _MMatrix {
public:
    _MMatrix() = default; // all zeros
    _MMatrix(_MMatrix const& other) = default;
    _MMatrix& operator=(_MMatrix const& other) = default;

    // Row i.
    double* operator[](int i) { return m_m[static_cast<unsigned>(i)].data(); }
    double const* operator[](int i) const { return m_m[static_cast<unsigned>(i)].data(); }

    void SetLine(int i, _MVector const& v);
    void SetRow(int j, _MVector const& v); // column j
    void GetLine(int i, _MVector& v) const;
    void GetRow(int j, _MVector& v) const; // column j
    // Determinant of the minor of rows 0..2 without column k.
    double Sarrus(int k) const;

    void DbgPrintf(char const* header) const;

private:
    std::array<std::array<double, 4>, 4> m_m{};
};
