#include "model/KaCamera.h"

#include "model/KaPoint.h"
#include "model/KaPointList.h"
#include "textio/KaFileName.h"
#include "textio/KaParser.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <locale>
#include <memory>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kInvAdjustSteps = 25;
constexpr double kInvAdjustLimit = 1e-18;

} // namespace

// ---------------------------------------------------------------------------
// KaCamera

KaCamera::KaCamera(unsigned int id, double C, double Xh, double Yh, double A1, double A2, double R0,
                   char const* info) {
    Set(id, C, Xh, Yh, A1, A2, R0, info);
}

KaCamera::KaCamera(KaReaderObject* object) {
    Read(object);
}

KaCamera& KaCamera::operator=(KaCamera const& other) {
    if (this != &other) {
        KaListnode::operator=(other);
        m_C = other.m_C;
        m_Xh = other.m_Xh;
        m_Yh = other.m_Yh;
        m_A1 = other.m_A1;
        m_A2 = other.m_A2;
        m_R0 = other.m_R0;
    }
    return *this;
}

KaCamera::~KaCamera() = default;

void KaCamera::Set(unsigned int id, double C, double Xh, double Yh, double A1, double A2, double R0,
                   char const* info) {
    SetId(id);
    SetName(info ? String(info) : String());
    m_C = C;
    m_Xh = Xh;
    m_Yh = Yh;
    m_A1 = A1;
    m_A2 = A2;
    m_R0 = R0;
}

void KaCamera::Get(unsigned int& id, double& C, double& Xh, double& Yh, double& A1, double& A2, double& R0,
                   char* info) const {
    id = GetId();
    C = m_C;
    Xh = m_Xh;
    Yh = m_Yh;
    A1 = m_A1;
    A2 = m_A2;
    R0 = m_R0;
    if (info)
        std::memcpy(info, GetName().chars(), static_cast<std::size_t>(GetName().length()) + 1);
}

double KaCamera::Calcd(double x, double y) const {
    double const r2 = x * x + y * y;
    double const r02 = m_R0 * m_R0;
    return m_A1 * (r2 - r02) + m_A2 * (r2 * r2 - r02 * r02);
}

double KaCamera::Calcdr(double x, double y) const {
    double const r = std::sqrt(x * x + y * y);
    if (r == 0.0)
        return 0.0;
    double const r02 = m_R0 * m_R0;
    return m_A2 * (r * r * r * r - r02 * r02) + m_A1 * (r * r - r02);
}

bool KaCamera::Adjust(double* x, double* y) const {
    if (GetId() == 0 || !x || !y)
        return false;
    double const xr = *x - m_Xh;
    double const yr = *y - m_Yh;
    double const d = Calcdr(xr, yr);
    *x = xr - d * xr;
    *y = yr - d * yr;
    return true;
}

bool KaCamera::Adjust(KaPoint* point) const {
    return point && Adjust(&point->x, &point->y);
}

bool KaCamera::Adjust(KaPointList* list) const {
    if (!list)
        return false;
    if (GetId() != 0)
        for (KaPoint* p = list->First(); p; p = p->Next())
            Adjust(&p->x, &p->y);
    return true;
}

bool KaCamera::InvAdjust(double* x, double* y) const {
    if (GetId() == 0 || !x || !y)
        return false;
    double const x0 = *x;
    double const y0 = *y;
    double xi = x0;
    double yi = y0;
    double s = 0.0;
    for (int step = 0; step < kInvAdjustSteps; ++step) {
        // The radius comes from the iterate itself, the factor from its offset to
        // the principal point.
        double const d = Calcd(xi, yi);
        double const xn = x0 + d * (xi - m_Xh);
        double const yn = y0 + d * (yi - m_Yh);
        s = (xi - xn) * (xi - xn) + (yi - yn) * (yi - yn);
        xi = xn;
        yi = yn;
        if (s <= kInvAdjustLimit)
            break;
    }
    // Also false for a diverging iteration, whose s ends as infinity or NaN.
    if (!(s < kInvAdjustLimit))
        return false;
    *x = xi + m_Xh;
    *y = yi + m_Yh;
    return true;
}

bool KaCamera::InvAdjust(KaPoint* point) const {
    return point && InvAdjust(&point->x, &point->y);
}

bool KaCamera::InvAdjust(KaPointList* list) const {
    if (!list)
        return false;
    for (KaPoint* p = list->First(); p; p = p->Next())
        InvAdjust(&p->x, &p->y);
    return true;
}

KaCamera* KaCamera::First(int mask) {
    return IsFlagSet(mask) ? this : Next(mask);
}

KaCamera* KaCamera::Next(int mask) const {
    KaCamera* c = Next();
    while (c && !c->IsFlagSet(mask))
        c = c->Next();
    return c;
}

KaCamera* KaCamera::Previous(int mask) const {
    KaCamera* c = Previous();
    while (c && !c->IsFlagSet(mask))
        c = c->Previous();
    return c;
}

int KaCamera::Read(KaReaderObject* object) {
    KaStreamParser in = object->GetStreamParser();
    auto const id = static_cast<unsigned int>(in.GetInt());
    double const C = in.GetNumber();
    double const Xh = in.GetNumber();
    double const Yh = in.GetNumber();
    double const A1 = in.GetNumber();
    double const A2 = in.GetNumber();
    double const R0 = in.GetNumber();
    char const* info = in.GetText();
    Set(id, std::fabs(C), Xh, Yh, A1, A2, R0, info);
    return 1;
}

void KaCamera::Write(std::ostream& os) const {
    os << p8 << w4 << GetId() << w14 << m_C << w14 << m_Xh << w14 << m_Yh << w14 << m_A1 << w14 << m_A2 << w14
       << m_R0 << " \"" << KaQuotable(GetName()) << '"';
}

void KaCamera::WriteGentriFormat(std::ostream& os) const {
    os << p8 << w4 << GetId() << w12 << std::fabs(m_C) << w12 << m_Xh << w12 << m_Yh << w12 << m_A1 << w12
       << m_A2 << w12 << m_R0;
}

// ---------------------------------------------------------------------------
// KaCameraList

KaCameraList::KaCameraList(KaReaderObject* object) {
    Read(object);
}

KaCameraList::KaCameraList(char const* filename) {
    ReadFile(filename);
}

KaCameraList& KaCameraList::operator=(KaCameraList const& other) {
    TKaListHeader<KaCamera>::operator=(other);
    return *this;
}

KaCameraList::~KaCameraList() = default;

KaCamera* KaCameraList::AddCamera(KaReaderObject* object) {
    auto camera = std::make_unique<KaCamera>(object);
    return Add(camera.release());
}

int KaCameraList::Read(KaReaderObject* object) {
    object->GetParser().GetToken(TokenBeginBlock);
    object->GetStreamParser().Advance();
    AddCamera(object);
    return 1;
}

int KaCameraList::ReadFile(char const* name) {
    if (!name)
        return 1;
    KaReader reader{String(name)};
    KaReaderObject cameras(Link(this, &KaCameraList::Read));
    reader.RegisterObject(cameras);
    reader.DoProcess(true);
    return 1;
}

void KaCameraList::Write(std::ostream& os) const {
    for (KaCamera const* c = First(); c; c = c->Next()) {
        os << KaBeginBlock;
        c->Write(os);
        os << KaEndBlock << Kaendl;
    }
}

void KaCameraList::WriteHeaderComment(std::ostream& os) {
    os << KaComment << std::endl;
    os << KaComment << "TARVOSYS 10 Version "
       << "6.715"
       << " Camera File" << std::endl;
    os << KaComment << std::endl;
    os << KaComment << "File Format: { Id  C  Xh  Yh  A1  A2  R0 \"Infotext\"}" << std::endl;
    os << KaComment << std::endl;
    os << std::endl;
}

int KaCameraList::WriteFile(String const& name, bool gentri) const {
    bool const ok = KaWriteFileReplacing(name, [&](std::ostream& os) {
        if (gentri) {
            for (KaCamera const* c = First(); c; c = c->Next()) {
                c->WriteGentriFormat(os);
                os << Kaendl;
            }
        } else {
            WriteHeaderComment(os);
            Write(os);
        }
    });
    return ok ? 1 : 0;
}

KaCamera* KaCameraList::FindBestMatch(String const& text, double c) const {
    KaCamera* best = nullptr;
    double bestDistance = 0.0;
    for (KaCamera* camera = First(); camera; camera = camera->Next()) {
        if (!camera->GetInfo().contains(text))
            continue;
        double const distance = std::fabs(camera->GetC() - c);
        if (!best || distance < bestDistance) {
            best = camera;
            bestDistance = distance;
        }
    }
    return best;
}
