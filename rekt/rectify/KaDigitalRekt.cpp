#include "rectify/KaDigitalRekt.h"

#include "geometry/KaMatrix3d.h"
#include "measure/KaMeasure.h"
#include "model/KaOrthoPhoto.h"
#include "model/KaPhoto.h"
#include "project/KaProject.h"
#include "rekt/KaRektPlane.h"
#include "rekt/KaRektTrafo.h"

#include <climits>
#include <cmath>
#include <map>
#include <numbers>
#include <vector>

namespace {

// Pivots and normals below this count as zero.
constexpr double Tiny = 1e-10;
// Raster dimensions are 32-bit values.
constexpr double MaxPixels = static_cast<double>(INT_MAX);

// trunc(v) as a raster dimension in [1, INT_MAX]; a NaN gives 1.
long ToPixels(double v) {
    if (!(v >= 1.0))
        return 1;
    if (v >= MaxPixels)
        return INT_MAX;
    return static_cast<long>(v);
}

// trunc(v) in [0, INT_MAX].
long Truncate(double v) {
    if (!(v >= 0.0))
        return 0;
    if (v >= MaxPixels)
        return INT_MAX;
    return static_cast<long>(v);
}

double OneIfZero(double v) {
    return v == 0.0 ? 1.0 : v;
}

// The first three components of m * (x, y, 0, 1).
KaVector ObjectPoint(KaMatrix const& m, double x, double y) {
    KaVector out(3);
    for (int i = 1; i <= 3; ++i)
        out[i] = m.GetElem(i, 1) * x + m.GetElem(i, 2) * y + m.GetElem(i, 4);
    return out;
}

KaMatrix const& TransMat(KaRectPlane const* plane) {
    static KaMatrix const identity = [] {
        KaMatrix m(4, 4);
        m.SetIdent();
        return m;
    }();
    KaRektTrafo const* trafo = plane->GetRektTrafo();
    return trafo ? trafo->GetTransMat() : identity;
}

bool HasInfo(KaOrthoPhoto const& ortho, unsigned int photoId, unsigned int rektId) {
    for (KaRektPlaneInfo* info = ortho.RektPlaneList().First(); info; info = info->Next())
        if (info->GetPhotoId() == photoId && info->GetRektId() == rektId)
            return true;
    return false;
}

bool HasInfo(KaOrthoPhoto const& ortho, unsigned int photoId) {
    for (KaRektPlaneInfo* info = ortho.RektPlaneList().First(); info; info = info->Next())
        if (info->GetPhotoId() == photoId)
            return true;
    return false;
}

} // namespace

KaDigitalRekt::KaDigitalRekt(KaMeasure* measure) : m_measure(measure), m_maxAngle(std::numbers::pi / 20.0) {
    m_output.SetIdent();
}

KaDigitalRekt::KaDigitalRekt(KaDigitalRekt const& other) = default;

KaDigitalRekt& KaDigitalRekt::operator=(KaDigitalRekt const& other) {
    if (&other != this) {
        m_measure = other.m_measure;
        m_unconnected = other.m_unconnected;
        m_mosaik = other.m_mosaik;
        m_saved = other.m_saved;
        m_output = other.m_output;
        m_maxAngle = other.m_maxAngle;
        m_scale = other.m_scale;
        m_bitmapScale = other.m_bitmapScale;
        m_selPlanes = other.m_selPlanes;
        m_selPhotos = other.m_selPhotos;
        m_defaultX = other.m_defaultX;
        m_defaultY = other.m_defaultY;
        m_bitsPerPixel = other.m_bitsPerPixel;
        m_antialiasing = other.m_antialiasing;
        m_clippingNormal = other.m_clippingNormal;
        m_calcPixel = other.m_calcPixel;
        m_calcTime = other.m_calcTime;
    }
    return *this;
}

KaDigitalRekt::~KaDigitalRekt() = default;

// Front-end hooks.
bool KaDigitalRekt::CalcRektDigital(IGear*) {
    return false;
}
bool KaDigitalRekt::DlgSelectPhotoAndPlane() {
    return false;
}
IGear* KaDigitalRekt::GetBitmap(KaRectPlane*) {
    return nullptr;
}
bool KaDigitalRekt::CalcRektBitmap(IGear*, bool, bool) {
    return false;
}
KaOrthoPhoto* KaDigitalRekt::CalcRektPhoto() {
    return nullptr;
}
void KaDigitalRekt::CreateStatusBar(int) {}
void KaDigitalRekt::UpdateStatusBar(int) {}
void KaDigitalRekt::StopStatusBar() {}

KaProject* KaDigitalRekt::GetProject() const {
    return m_measure ? m_measure->GetProject() : nullptr;
}
KaPhotoList& KaDigitalRekt::GetPhotoList() const {
    return m_measure->GetPhotoList();
}
KaOrthoPhotoList& KaDigitalRekt::GetOrthoPhotoList() const {
    return m_measure->GetOrthoPhotoList();
}
KaReseaufileList& KaDigitalRekt::GetReseaufileList() const {
    return m_measure->GetReseaufileList();
}

bool KaDigitalRekt::DoDigital() {
    if (!m_measure)
        return false;
    m_measure->PushControl();
    m_measure->MCDisableDigitizer();
    if (DlgSelectPhotoAndPlane())
        CalcRektPhoto();
    m_measure->PopControl(true);
    return true;
}

double KaDigitalRekt::GetMaxAngleDeg() const {
    return m_maxAngle * 180.0 / std::numbers::pi;
}

double KaDigitalRekt::SetMaxAngleDeg(double deg) {
    m_maxAngle = deg / 180.0 * std::numbers::pi;
    return m_maxAngle;
}

long KaDigitalRekt::GetBitmapX() const {
    return Truncate(static_cast<double>(m_defaultX) * m_bitmapScale * 0.01);
}

long KaDigitalRekt::GetBitmapY() const {
    return Truncate(static_cast<double>(m_defaultY) * m_bitmapScale * 0.01);
}

int KaDigitalRekt::GetBitMapSize() const {
    // Checked in floating point first: the integer product may not even fit
    // into 64 bits.
    double const estimate = static_cast<double>(GetBitmapY()) * static_cast<double>(GetBitmapX()) *
                            static_cast<double>(m_bitsPerPixel) / 8.0;
    if (!(estimate >= 0.0) || estimate > static_cast<double>(INT_MAX))
        return 0;
    long long const bytes =
        static_cast<long long>(GetBitmapY()) * GetBitmapX() * static_cast<long long>(m_bitsPerPixel) / 8;
    return bytes < 0 || bytes > INT_MAX ? 0 : static_cast<int>(bytes);
}

void KaDigitalRekt::SetCalcStatistics(long pixels, double seconds) {
    m_calcPixel = pixels;
    m_calcTime = seconds;
}

double KaDigitalRekt::GetCalcPixelPerSec() const {
    return m_calcTime == 0.0 ? 0.0 : static_cast<double>(m_calcPixel) / m_calcTime;
}

// ---------------------------------------------------------------------------
// Building the mosaic

void KaDigitalRekt::BuildSteps() {
    GetMostParallelPlanes();
    CalcMosaikConnectMatrixes();
    CalcPlaneRanges();
    CountPlanes();
}

bool KaDigitalRekt::BuildPlaneMosaik() {
    CollectPlanes();
    BuildSteps();
    return true;
}

bool KaDigitalRekt::BuildPlaneMosaik(unsigned int photoId, unsigned int rektId) {
    bool found = false;
    if (m_measure) {
        for (KaPhoto* photo = GetPhotoList().First(); photo; photo = photo->Next()) {
            bool const selected = photo->GetId() == photoId;
            if (selected)
                photo->SetFlag(PointFlagGuiCheckActive);
            else
                photo->ClearFlag(PointFlagGuiCheckActive);
            for (KaRektTrafo* trafo = photo->FirstRektTrafo(); trafo; trafo = trafo->Next()) {
                bool const chosen = selected && trafo->GetId() == rektId;
                trafo->SetActive(chosen);
                found = found || chosen;
            }
        }
    }
    BuildPlaneMosaik();
    return found;
}

bool KaDigitalRekt::BuildPlaneMosaik(KaOrthoPhoto const* ortho) {
    if (!ortho)
        return false;
    SetMaxAngleDeg(ortho->GetMaxAngle());
    if (m_measure) {
        for (KaPhoto* photo = GetPhotoList().First(); photo; photo = photo->Next()) {
            unsigned int const photoId = photo->GetId();
            if (HasInfo(*ortho, photoId)) {
                photo->SetFlag(PointFlagGuiCheckActive);
                for (KaRektTrafo* trafo = photo->FirstRektTrafo(); trafo; trafo = trafo->Next())
                    trafo->SetActive(HasInfo(*ortho, photoId, trafo->GetId()));
            } else {
                photo->ClearFlag(PointFlagGuiCheckActive);
            }
        }
        GetPhotoList().NotifyChanged(nullptr, nullptr);
    }

    // The orthophoto's planes come first, in its order: the first of them
    // gives the common plane and the front-most plane wins an overlap.
    CollectPlanes();
    KaRektMosaik rest;
    m_mosaik.MoveTo(&rest);
    for (KaRektPlaneInfo* info = ortho->RektPlaneList().First(); info; info = info->Next())
        if (KaRectPlane* plane = rest.FindPlane(info->GetPhotoId(), info->GetRektId()))
            m_mosaik.Add(rest.Subtract(plane));
    rest.MoveTo(&m_mosaik);
    BuildSteps();
    return true;
}

KaOrthoPhoto* KaDigitalRekt::DoCalcSinglePlane(unsigned int photoId, unsigned int rektId, double pixelSize) {
    m_bitmapScale = 100.0;
    if (!BuildPlaneMosaik(photoId, rektId))
        return nullptr;
    if (pixelSize != 0.0) {
        double const x = static_cast<double>(m_defaultX == 0 ? 1 : m_defaultX);
        double const s = (m_mosaik.GetMax().x - m_mosaik.GetMin().x) / pixelSize * 100.0 / x;
        m_bitmapScale = !(s >= 2.0) ? 2.0 : (s > 1000.0 ? 1000.0 : s);
    }
    return CalcRektPhoto();
}

void KaDigitalRekt::CollectPlanes() {
    m_mosaik.Destroy();
    m_unconnected = 0;
    if (!m_measure)
        return;
    for (KaPhoto* photo = GetPhotoList().First(); photo; photo = photo->Next()) {
        if (!photo->IsFlagSet(PointFlagGuiCheckActive))
            continue;
        for (KaRektTrafo* trafo = photo->FirstRektTrafo(); trafo; trafo = trafo->Next()) {
            if (trafo->IsActive())
                m_mosaik.Add(new KaRectPlane(photo, trafo));
            if (trafo->GetTransMat().IsIdent())
                ++m_unconnected;
        }
    }
}

bool KaDigitalRekt::CalcNormVect(KaRectPlane* plane) {
    if (!plane)
        return false;
    KaVector n(3);
    if (!::CalcNormVect(&n, TransMat(plane)))
        return false;
    plane->SetNormal(n);
    return true;
}

double KaDigitalRekt::CalcPlaneAngle(KaRectPlane const* a, KaRectPlane const* b) const {
    if (!a || !b || a->GetNormal().Abs() < Tiny || b->GetNormal().Abs() < Tiny)
        return 0.0;
    return CalcAngle(a->GetNormal(), b->GetNormal());
}

int KaDigitalRekt::CountGroups() {
    for (KaRectPlane* plane = m_mosaik.First(); plane; plane = plane->Next()) {
        plane->SetGroup(1);
        KaVector zero(3);
        plane->SetNormal(zero);
        CalcNormVect(plane);
    }
    int groups = m_mosaik.IsEmpty() ? 0 : 1;
    KaRectPlane* first = m_mosaik.First();
    for (KaRectPlane* q = first ? first->Next() : nullptr; q; q = q->Next()) {
        KaRectPlane* const p = q->Previous();
        if (CalcPlaneAngle(p, q) < m_maxAngle) {
            q->SetGroup(p->GetGroup());
            continue;
        }
        KaRectPlane* r = first;
        for (; r != q; r = r->Next())
            if (CalcPlaneAngle(r, q) < m_maxAngle)
                break;
        if (r != q) {
            q->SetGroup(r->GetGroup());
        } else {
            q->SetGroup(++groups);
        }
    }
    return groups;
}

int KaDigitalRekt::ReduceGroups() {
    std::map<int, int> counts;
    for (KaRectPlane* plane = m_mosaik.First(); plane; plane = plane->Next())
        ++counts[plane->GetGroup()];
    int winner = 0;
    int most = 0;
    for (auto const& [group, count] : counts)
        if (count > most) {
            winner = group;
            most = count;
        }
    int removed = 0;
    for (KaRectPlane* plane = m_mosaik.First(); plane;) {
        KaRectPlane* const next = plane->Next();
        if (plane->GetGroup() != winner) {
            delete m_mosaik.Subtract(plane);
            ++removed;
        }
        plane = next;
    }
    return removed;
}

int KaDigitalRekt::GetMostParallelPlanes() {
    int const groups = CountGroups();
    if (groups > 1)
        ReduceGroups();
    return groups;
}

void KaDigitalRekt::CalcMosaikConnectMatrixes() {
    KaRectPlane* const first = m_mosaik.First();
    if (!first)
        return;
    KaVector const g0 = ObjectPoint(TransMat(first), 0.0, 0.0);
    KaVector u(3);
    KaVector v(3);
    CalcArbitaryAlg(&u, &v, first->GetNormal());

    for (KaRectPlane* plane = first; plane; plane = plane->Next()) {
        KaMatrix const& m = TransMat(plane);
        KaVector const f = ObjectPoint(m, 0.0, 0.0) - g0;
        KaVector const e = ObjectPoint(m, 1.0, 0.0) - g0;
        double const du = e * u - f * u;
        double const dv = e * v - f * v;
        double const n = std::sqrt(du * du + dv * dv);
        // A plane x axis at right angles to the common plane has no direction
        // in it; such a plane keeps its own orientation.
        double const c = n < Tiny ? 1.0 : du / n;
        double const s = n < Tiny ? 0.0 : dv / n;

        KaMatrix connect(3, 3);
        connect.SetIdent();
        connect.SetElem(1, 1, c);
        connect.SetElem(1, 2, -s);
        connect.SetElem(2, 1, s);
        connect.SetElem(2, 2, c);
        connect.SetElem(1, 3, f * u);
        connect.SetElem(2, 3, f * v);
        plane->SetConnectMatrix(connect);
        plane->SetMappingMatrix(connect * plane->GetRektMat());
    }
}

void KaDigitalRekt::CalcBorders() {
    for (KaRectPlane* plane = m_mosaik.First(); plane; plane = plane->Next()) {
        plane->SetMappingMatrix(plane->GetConnectMatrix() * plane->GetRektMat());
        plane->GetPointList().Destroy();
        plane->CalcRektBorder();
        plane->UpdateMinMax();
    }
    m_mosaik.UpdateAllMinMax();
}

bool KaDigitalRekt::CalcPlaneRanges() {
    CalcBorders();
    KaRectPlane* ref = m_mosaik.First();
    if (!ref)
        return false;
    auto pixelW = [](KaRectPlane const* p) { return Truncate(std::fabs(p->PixelRect().Width())); };
    auto pixelH = [](KaRectPlane const* p) { return Truncate(std::fabs(p->PixelRect().Height())); };
    for (KaRectPlane* plane = ref->Next(); plane; plane = plane->Next())
        if (pixelW(plane) > pixelW(ref) || pixelH(plane) > pixelH(ref))
            ref = plane;

    double const W = OneIfZero(static_cast<double>(pixelW(ref)));
    double const H = OneIfZero(static_cast<double>(pixelH(ref)));
    double const w = OneIfZero(std::fabs(ref->Width()));
    double const h = OneIfZero(std::fabs(ref->Height()));
    double const X = OneIfZero(std::fabs(m_mosaik.Width()));
    double const Y = OneIfZero(std::fabs(m_mosaik.Height()));
    double const a = Y / X;

    if (h > w) {
        m_defaultY = ToPixels(Y / h * H);
        m_defaultX = ToPixels(static_cast<double>(m_defaultY) / a);
    } else {
        m_defaultX = ToPixels(X / w * W);
        m_defaultY = ToPixels(a * static_cast<double>(m_defaultX));
    }
    return true;
}

void KaDigitalRekt::CountPlanes() {
    m_selPlanes = 0;
    m_selPhotos = 0;
    KaPhoto const* last = nullptr;
    for (KaRectPlane* plane = m_mosaik.First(); plane; plane = plane->Next()) {
        if (m_selPlanes == 0 || plane->GetPhoto() != last)
            ++m_selPhotos;
        last = plane->GetPhoto();
        ++m_selPlanes;
    }
}

bool KaDigitalRekt::LoadBitmaps() {
    if (m_measure) {
        for (KaRectPlane* plane = m_mosaik.First(); plane;) {
            KaRectPlane* const next = plane->Next();
            m_measure->LoadAttrImage(plane->GetPhotoId());
            if (!m_measure->IsAttrImageValid(plane->GetPhotoId()))
                delete m_mosaik.Subtract(plane);
            plane = next;
        }
    }
    return m_mosaik.UpdateAllMinMax();
}

// ---------------------------------------------------------------------------
// The output mapping

bool KaDigitalRekt::CalcRektScale(KaSize const& size, bool extend) {
    KaPoint const& lo = m_mosaik.GetMin();
    KaPoint& hi = m_mosaik.GetMax();
    double const width = hi.x - lo.x;
    double const height = hi.y - lo.y;
    if (width == 0.0 || height == 0.0)
        return false;
    double const m = OneIfZero(static_cast<double>(size.cy)) / OneIfZero(static_cast<double>(size.cx));
    if (std::fabs(height) / std::fabs(width) < m) {
        m_scale = static_cast<double>(size.cx) / std::fabs(width);
        if (extend)
            hi.y = lo.y + width * m;
    } else {
        m_scale = static_cast<double>(size.cy) / std::fabs(height);
    }
    return true;
}

bool KaDigitalRekt::CalcRektMatrixes(KaSize size, bool extend) {
    // Borders and box back in mosaic coordinates, so that another size can be
    // tried on the same mosaic.
    CalcBorders();
    if (!CalcRektScale(size, extend))
        m_scale = 1.0;

    KaMatrix t(3, 3);
    t.SetIdent();
    t.SetElem(1, 3, -m_mosaik.GetMin().x);
    t.SetElem(2, 3, -m_mosaik.GetMin().y);
    KaMatrix s(3, 3);
    s.SetIdent();
    s.SetElem(1, 1, m_scale);
    s.SetElem(2, 2, m_scale);
    KaMatrix const d = s * t;

    bool ok = true;
    for (KaRectPlane* plane = m_mosaik.First(); plane; plane = plane->Next()) {
        for (KaPoint* p = plane->GetPointList().First(); p; p = p->Next())
            d.PTrans2D(p);
        plane->UpdateMinMax();

        KaMatrix mapping =
            d * plane->GetConnectMatrix() * plane->GetRektMat() * plane->GetPixelToBikoMatrix();
        int err = 0;
        mapping.Invert(&err);
        if (err != 0) {
            // A singular chain would hand out garbage; this plane maps nothing.
            mapping.Clear();
            ok = false;
        }
        plane->SetMappingMatrix(mapping);
    }
    d.PTrans2D(&m_mosaik.GetMin());
    d.PTrans2D(&m_mosaik.GetMax());

    m_output = d;
    int err = 0;
    m_output.Invert(&err);
    return ok;
}
