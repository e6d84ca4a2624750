#include "model/KaPoint.h"

#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <system_error>

namespace {

char const* const ControlXYZ[8] = {" N ", "X  ", " Y ", "XY ", "  Z", "X Z", " YZ", "XYZ"};
char const* const Control123[8] = {"  0", "  1", "  2", " 12", "  3", " 13", " 23", "123"};

unsigned int PointFlag(KaObject const* object, int mask) {
    auto const* point = dynamic_cast<KaPoint const*>(object);
    return point ? static_cast<unsigned int>(point->IsFlagSet(mask)) : 0u;
}

constexpr double Pi = 3.141592653589793;

// The squares of very large deviations overflow to inf, which no reader takes
// back; those of very small ones vanish. Only then is the slower form used, so
// ordinary files keep their digits.
double DeviationLength(double dx, double dy, double dz) {
    double const sum = dx * dx + dy * dy + dz * dz;
    if (std::isnormal(sum) || (dx == 0.0 && dy == 0.0 && dz == 0.0))
        return std::sqrt(sum);
    return std::hypot(dx, dy, dz);
}

// A coordinate in the stream's float format and precision. Where the stream asks
// for nothing beyond fixed, scientific or the general format, std::to_chars makes
// the same characters as the stream's printf-style conversion at a fraction of
// its cost; width and fill still come from the stream.
void PutNumber(std::ostream& os, double value) {
    std::ios_base::fmtflags const flags = os.flags();
    std::ios_base::fmtflags const field = flags & std::ios_base::floatfield;
    bool const plain =
        !(flags & (std::ios_base::showpos | std::ios_base::showpoint | std::ios_base::uppercase)) &&
        field != (std::ios_base::fixed | std::ios_base::scientific);
    if (plain) {
        std::chars_format const format = field == std::ios_base::fixed        ? std::chars_format::fixed
                                         : field == std::ios_base::scientific ? std::chars_format::scientific
                                                                              : std::chars_format::general;
        char text[64];
        auto const [end, ec] =
            std::to_chars(text, text + sizeof text - 1, value, format, static_cast<int>(os.precision()));
        if (ec == std::errc()) {
            *end = '\0';
            os << text;
            return;
        }
    }
    os << value; // a long fixed number, or a format of the caller's
}

} // namespace

KaPoint::KaPoint(unsigned int id, double x_, double y_, double z_, short controlFlags_)
    : KaListnode(id), controlFlags(controlFlags_), x(x_), y(y_), z(z_) {}

KaPoint::KaPoint(KaPoint const& other)
    : KaListnode(other), KaFlag(other), photoId(other.photoId), cameraId(other.cameraId),
      controlFlags(other.controlFlags), tag(other.tag), x(other.x), y(other.y), z(other.z), dx(other.dx),
      dy(other.dy), dz(other.dz), redu(other.redu), redu2(other.redu2), redu3(other.redu3), tag2(other.tag2) {
}

KaPoint& KaPoint::operator=(KaPoint const& other) {
    if (this == &other)
        return *this;
    KaObject::operator=(other);
    KaFlag::operator=(other);
    photoId = other.photoId;
    cameraId = other.cameraId;
    controlFlags = other.controlFlags;
    tag = other.tag;
    x = other.x;
    y = other.y;
    z = other.z;
    dx = other.dx;
    dy = other.dy;
    dz = other.dz;
    redu = other.redu;
    redu2 = other.redu2;
    redu3 = other.redu3;
    tag2 = other.tag2;
    return *this;
}

KaPoint::~KaPoint() = default;

int KaPoint::Compare(KaListnode const* other) const {
    auto const* point = dynamic_cast<KaPoint const*>(other);
    if (!point)
        return KaListnode::Compare(other);
    std::uint32_t const photos =
        static_cast<std::uint32_t>(photoId) - static_cast<std::uint32_t>(point->photoId);
    std::uint32_t const ids = GetId() - point->GetId();
    return static_cast<int>(photos + ids);
}

void KaPoint::init() {
    photoId = cameraId = 0;
    controlFlags = 0;
    tag = tag2 = 0;
    x = y = z = dx = dy = dz = redu = redu2 = redu3 = 0.0;
}

char const* KaPoint::GetControlCodeAsXYZ(int code) {
    return ControlXYZ[code & 7];
}

char const* KaPoint::GetControlCodeAs123(int code) {
    return Control123[code & 7];
}

short KaPoint::SetAsControlFlag(int code) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", code);
    controlFlags = 0;
    for (char const* c = text; *c; ++c) {
        if (*c == '1')
            controlFlags |= 0x1;
        else if (*c == '2')
            controlFlags |= 0x2;
        else if (*c == '3')
            controlFlags |= 0x4;
    }
    return controlFlags;
}

short KaPoint::SetAsControlFlag(char const* text) {
    controlFlags = 0;
    for (char const* c = text; c && *c; ++c) {
        if (*c == '1' || *c == 'X' || *c == 'x')
            controlFlags |= 0x1;
        else if (*c == '2' || *c == 'Y' || *c == 'y')
            controlFlags |= 0x2;
        else if (*c == '3' || *c == 'Z' || *c == 'z')
            controlFlags |= 0x4;
    }
    return controlFlags;
}

bool KaPoint::operator==(KaPoint const& other) const {
    return x == other.x && y == other.y && z == other.z;
}

double KaPoint::Distance(KaPoint const& other) const {
    double const ex = x - other.x, ey = y - other.y, ez = z - other.z;
    return std::sqrt(ex * ex + ey * ey + ez * ez);
}

KaPoint KaPoint::operator+(KaPoint const& other) const {
    KaPoint r(*this);
    r.x += other.x, r.y += other.y, r.z += other.z;
    r.dx += other.dx, r.dy += other.dy, r.dz += other.dz;
    return r;
}

KaPoint KaPoint::operator-(KaPoint const& other) const {
    KaPoint r(*this);
    r.x -= other.x, r.y -= other.y, r.z -= other.z;
    r.dx -= other.dx, r.dy -= other.dy, r.dz -= other.dz;
    return r;
}

KaPoint KaPoint::operator%(KaPoint const& other) const {
    KaPoint r(*this);
    r.x = (x + other.x) * 0.5, r.y = (y + other.y) * 0.5, r.z = (z + other.z) * 0.5;
    r.dx = (dx + other.dx) * 0.5, r.dy = (dy + other.dy) * 0.5, r.dz = (dz + other.dz) * 0.5;
    return r;
}

KaPoint KaPoint::operator*(double s) const {
    KaPoint r(*this);
    r.x *= s, r.y *= s, r.z *= s;
    return r;
}

KaPoint KaPoint::operator/(double s) const {
    return *this * (1.0 / s);
}

KaPoint* KaPoint::First(int mask) {
    return IsFlagSet(mask) ? this : Next(mask);
}

KaPoint* KaPoint::Next(int mask) const {
    KaPoint* p = Next();
    while (p && !p->IsFlagSet(mask))
        p = p->Next();
    return p;
}

KaPoint* KaPoint::Previous(int mask) const {
    KaPoint* p = Previous();
    while (p && !p->IsFlagSet(mask))
        p = p->Previous();
    return p;
}

int KaPoint::Read(KaReaderObject* object, KaPointFormat const& mask) {
    KaStreamParser in = object->GetStreamParser();
    for (int i = 0; i < mask.Size(); ++i) {
        switch (mask[i]) {
        case PRW_NUMBER:
            SetId(static_cast<unsigned int>(in.GetInt()));
            break;
        case PRW_CODE123:
            SetAsControlFlag(in.GetInt());
            break;
        case PRW_CODE:
            controlFlags = static_cast<short>(in.GetInt());
            break;
        case PRW_NAME:
        case PRW_DS:
            in.GetNumber();
            break;
        case PRW_PHOTO:
            photoId = in.GetInt();
            break;
        case PRW_CAMERA:
            cameraId = in.GetInt();
            break;
        case PRW_X:
            x = in.GetNumber();
            break;
        case PRW_Y:
            y = in.GetNumber();
            break;
        case PRW_Z:
            z = in.GetNumber();
            break;
        case PRW_DX:
        case PRW_SX:
            dx = in.GetNumber();
            break;
        case PRW_DY:
        case PRW_SY:
            dy = in.GetNumber();
            break;
        case PRW_DZ:
        case PRW_SZ:
            dz = in.GetNumber();
            break;
        case PRW_REDU:
            redu = in.GetNumber();
            break;
        case PRW_REDU2:
            redu2 = in.GetNumber();
            break;
        case PRW_REDU3:
            redu3 = in.GetNumber();
            break;
        case PRW_SKIP:
            in.Advance();
            break;
        default: // the residual columns are written only
            break;
        }
    }
    return 1;
}

void KaPoint::Write(std::ostream& os, KaPointFormat const& mask) const {
    os.precision(16);
    for (int i = 0; i < mask.Size(); ++i) {
        switch (mask[i]) {
        case PRW_NUMBER:
            os << w8 << GetId();
            break;
        case PRW_CODE123:
            os << w4 << GetControlFlagsAs123();
            break;
        case PRW_CODE:
            os << w4 << controlFlags;
            break;
        case PRW_NAME:
            os << w8 << GetName().chars();
            break;
        case PRW_PHOTO:
            os << w8 << photoId;
            break;
        case PRW_CAMERA:
            os << w8 << cameraId;
            break;
        case PRW_X:
            os << w16;
            PutNumber(os, x);
            break;
        case PRW_Y:
            os << w16;
            PutNumber(os, y);
            break;
        case PRW_Z:
            os << w16;
            PutNumber(os, z);
            break;
        case PRW_DX:
        case PRW_SX:
            os << w19;
            PutNumber(os, dx);
            break;
        case PRW_DY:
        case PRW_SY:
            os << w19;
            PutNumber(os, dy);
            break;
        case PRW_DZ:
        case PRW_SZ:
            os << w19;
            PutNumber(os, dz);
            break;
        case PRW_DS:
            os << w19;
            PutNumber(os, DeviationLength(dx, dy, dz));
            break;
        case PRW_REDU:
        case PRW_RESX:
            os << w19;
            PutNumber(os, redu);
            break;
        case PRW_REDU2:
        case PRW_RESY:
            os << w19;
            PutNumber(os, redu2);
            break;
        case PRW_REDU3:
        case PRW_RESZ:
            os << w19;
            PutNumber(os, redu3);
            break;
        default:
            break;
        }
    }
}

unsigned int IsPointFlagGuiSelect(KaObject const* o) {
    return PointFlag(o, PointFlagGuiSelect);
}
unsigned int IsPointFlagGuiCheckActive(KaObject const* o) {
    return PointFlag(o, PointFlagGuiCheckActive);
}
unsigned int IsPointGuiCheckAccept(KaObject const* o) {
    return PointFlag(o, PointFlagGuiCheckAccept);
}
unsigned int IsPointGuiCheckNotAccept(KaObject const* o) {
    return PointFlag(o, PointFlagGuiCheckNotAccept);
}
unsigned int IsPointGuiCheckMediumAccept(KaObject const* o) {
    return PointFlag(o, PointFlagGuiCheckMediumAccept);
}
unsigned int IsPointTrafo2DUsed(KaObject const* o) {
    return PointFlag(o, PointFlagTrafo2DUsed);
}
unsigned int IsPointTrafo3DUsed(KaObject const* o) {
    return PointFlag(o, PointFlagTrafo3DUsed);
}
unsigned int IsPointRelorUsed(KaObject const* o) {
    return PointFlag(o, PointFlagRelorUsed);
}
unsigned int IsPointEinbor(KaObject const* o) {
    return PointFlag(o, PointFlagEinbor);
}

void MultiplyKaPoint(KaPoint* point, double f) {
    point->x *= f;
    point->y *= f;
    point->z *= f;
}

char const* GetKaUnitText(eKaUnit unit, bool brackets) {
    static char const* const plain[] = {"??", "mm", "cm", "m", "\xB5m"};
    static char const* const bracketed[] = {"??", "[mm]", "[cm]", "[m]", "[\xB5m]"};
    int const i = unit >= KaUnitMM && unit <= KaUnitMicron ? unit : 0;
    return brackets ? bracketed[i] : plain[i];
}

double GetUnitFactor(eKaUnit unit) {
    switch (unit) {
    case KaUnitMM:
        return 0.001;
    case KaUnitCM:
        return 0.01;
    case KaUnitMicron:
        return 1e-6;
    default:
        return 1.0;
    }
}

void ConvertUnit(double* value, eKaUnit from, eKaUnit to) {
    *value *= GetUnitFactor(from) / GetUnitFactor(to);
}

void ConvertUnit(KaPoint* point, eKaUnit from, eKaUnit to) {
    MultiplyKaPoint(point, GetUnitFactor(from) / GetUnitFactor(to));
}

double ConvertAngle(double const& value, eKaAngleUnit from, eKaAngleUnit to) {
    double radians = value;
    if (from == KaAngleDeg)
        radians = value * Pi / 180.0;
    else if (from == KaAngleGon)
        radians = value * Pi / 200.0;
    if (to == KaAngleDeg)
        return radians * 180.0 / Pi;
    if (to == KaAngleGon)
        return radians * 200.0 / Pi;
    return radians;
}

namespace {
eKaPointRWMask const PositionColumns[] = {PRW_X, PRW_Y, static_cast<eKaPointRWMask>(0)};
}

KaPosition::KaPosition(double x_, double y_) : KaPoint(0, x_, y_) {}

KaPosition::~KaPosition() = default;

int KaPosition::Read(KaReaderObject* object) {
    return KaPoint::Read(object, KaPointFormat(PositionColumns));
}

void KaPosition::Write(std::ostream& os) const {
    KaPoint::Write(os, KaPointFormat(PositionColumns));
}

bool KaPointTripel::IsInTripel(KaPoint const* point) const {
    return point && (m_points[0] == point || m_points[1] == point || m_points[2] == point);
}
