#pragma once

#include "TarvisExport.h"
#include "geometry/KaVector3d.h"

// An axis-aligned box that grows with the points it is updated with.
class TARVIS_API KaBoundingBox3d {
public:
    KaBoundingBox3d() { Init(); }
    // The smaller value per axis becomes the minimum.
    KaBoundingBox3d(double x1, double y1, double z1, double x2, double y2, double z2);

    // The empty box: minima at the largest double, maxima at its negative.
    void Init();
    void Update(double x, double y, double z);
    void Update(KaPoint3d const& p) { Update(p.x(), p.y(), p.z()); }
    // Widens the box by the margins on both sides.
    void AddFrame(double dx, double dy, double dz);
    void Union(KaBoundingBox3d const& b);

    bool IsInX(double x) const { return m_xmin <= x && x <= m_xmax; }
    bool IsInY(double y) const { return m_ymin <= y && y <= m_ymax; }
    bool IsInZ(double z) const { return m_zmin <= z && z <= m_zmax; }
    bool IsInBox(double x, double y, double z) const { return IsInX(x) && IsInY(y) && IsInZ(z); }

    double Xmin() const { return m_xmin; }
    double Ymin() const { return m_ymin; }
    double Zmin() const { return m_zmin; }
    double Xmax() const { return m_xmax; }
    double Ymax() const { return m_ymax; }
    double Zmax() const { return m_zmax; }
    int GetCount() const { return m_count; }
    double GetXSize() const { return m_xmax - m_xmin; }
    double GetYSize() const { return m_ymax - m_ymin; }
    double GetZSize() const { return m_zmax - m_zmin; }
    // The largest and the smallest of the three sizes.
    double GetMax() const;
    double GetMin() const;
    double GetVol() const { return GetXSize() * GetYSize() * GetZSize(); }
    // 1 when no bound holds its empty value any more.
    int IsValid() const;
    // False when b lies strictly inside this box on every axis.
    bool CheckMax(KaBoundingBox3d const& b) const;

private:
    double m_xmin, m_ymin, m_zmin;
    double m_xmax, m_ymax, m_zmax;
    int m_count = 0;
};

// The running mean of points added and subtracted one by one.
class TARVIS_API KaCenterPoint3d {
public:
    KaCenterPoint3d() = default;

    // mean := (x, y, z) with count 0: the next Add replaces it.
    void Reset(double x, double y, double z);
    void Add(double x, double y, double z);
    void Add(KaPoint3d const& p) { Add(p.x(), p.y(), p.z()); }
    // Takes a point out of the mean; below two points everything becomes 0.
    void Subtract(double x, double y, double z);
    void Subtract(KaPoint3d const& p) { Subtract(p.x(), p.y(), p.z()); }

    KaPoint3d Point() const { return {m_x, m_y, m_z}; }
    int GetCount() const { return m_count; }

private:
    double m_x = 0.0, m_y = 0.0, m_z = 0.0;
    int m_count = 0;
};
