#include "geometry/KaBoundingBox3d.h"

#include <algorithm>
#include <limits>

namespace {

constexpr double Empty = std::numeric_limits<double>::max();

} // namespace

// ---------------------------------------------------------------------------
// KaBoundingBox3d

KaBoundingBox3d::KaBoundingBox3d(double x1, double y1, double z1, double x2, double y2, double z2)
    : m_xmin(std::min(x1, x2)), m_ymin(std::min(y1, y2)), m_zmin(std::min(z1, z2)), m_xmax(std::max(x1, x2)),
      m_ymax(std::max(y1, y2)), m_zmax(std::max(z1, z2)) {}

void KaBoundingBox3d::Init() {
    m_xmin = m_ymin = m_zmin = Empty;
    m_xmax = m_ymax = m_zmax = -Empty;
    m_count = 0;
}

void KaBoundingBox3d::Update(double x, double y, double z) {
    m_xmin = std::min(m_xmin, x);
    m_ymin = std::min(m_ymin, y);
    m_zmin = std::min(m_zmin, z);
    m_xmax = std::max(m_xmax, x);
    m_ymax = std::max(m_ymax, y);
    m_zmax = std::max(m_zmax, z);
    ++m_count;
}

void KaBoundingBox3d::AddFrame(double dx, double dy, double dz) {
    m_xmin -= dx;
    m_ymin -= dy;
    m_zmin -= dz;
    m_xmax += dx;
    m_ymax += dy;
    m_zmax += dz;
}

void KaBoundingBox3d::Union(KaBoundingBox3d const& b) {
    m_xmin = std::min(m_xmin, b.m_xmin);
    m_ymin = std::min(m_ymin, b.m_ymin);
    m_zmin = std::min(m_zmin, b.m_zmin);
    m_xmax = std::max(m_xmax, b.m_xmax);
    m_ymax = std::max(m_ymax, b.m_ymax);
    m_zmax = std::max(m_zmax, b.m_zmax);
}

double KaBoundingBox3d::GetMax() const {
    return std::max({GetXSize(), GetYSize(), GetZSize()});
}

double KaBoundingBox3d::GetMin() const {
    return std::min({GetXSize(), GetYSize(), GetZSize()});
}

int KaBoundingBox3d::IsValid() const {
    bool const empty = m_xmin == Empty || m_ymin == Empty || m_zmin == Empty || m_xmax == -Empty ||
                       m_ymax == -Empty || m_zmax == -Empty;
    return empty ? 0 : 1;
}

bool KaBoundingBox3d::CheckMax(KaBoundingBox3d const& b) const {
    bool const inside = b.m_xmin > m_xmin && b.m_ymin > m_ymin && b.m_zmin > m_zmin && b.m_xmax < m_xmax &&
                        b.m_ymax < m_ymax && b.m_zmax < m_zmax;
    return !inside;
}

// ---------------------------------------------------------------------------
// KaCenterPoint3d

void KaCenterPoint3d::Reset(double x, double y, double z) {
    m_x = x;
    m_y = y;
    m_z = z;
    m_count = 0;
}

void KaCenterPoint3d::Add(double x, double y, double z) {
    double const n = m_count;
    m_x = (n * m_x + x) / (n + 1.0);
    m_y = (n * m_y + y) / (n + 1.0);
    m_z = (n * m_z + z) / (n + 1.0);
    ++m_count;
}

void KaCenterPoint3d::Subtract(double x, double y, double z) {
    if (m_count < 2) {
        Reset(0.0, 0.0, 0.0);
        return;
    }
    double const n = m_count;
    m_x = (n * m_x - x) / (n - 1.0);
    m_y = (n * m_y - y) / (n - 1.0);
    m_z = (n * m_z - z) / (n - 1.0);
    --m_count;
}
