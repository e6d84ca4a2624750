#pragma once

#include "TarvisExport.h"
#include "foundation/KaObject.h"
#include "foundation/String.h"
#include "textio/KaFormatTable.h"

#include <iosfwd>

class KaVector;

class KaReaderObject;

// Point flag bits, kept in the point's KaFlag word.
enum : int {
    PointFlagGuiSelect = 0x001,
    PointFlagGuiCheckActive = 0x002,
    PointFlagGuiCheckAccept = 0x004,
    PointFlagGuiCheckNotAccept = 0x008,
    PointFlagGuiCheckMediumAccept = 0x010,
    PointFlagTrafo2DUsed = 0x020,
    PointFlagTrafo3DUsed = 0x040,
    PointFlagRelorUsed = 0x080,
    PointFlagEinbor = 0x100
};

// Column codes of the point text format.
enum eKaPointRWMask {
    PRW_NUMBER = 1,
    PRW_CODE123 = 2,
    PRW_CODE = 3,
    PRW_NAME = 4,
    PRW_PHOTO = 5,
    PRW_CAMERA = 6,
    PRW_X = 7,
    PRW_Y = 8,
    PRW_Z = 9,
    PRW_DX = 10,
    PRW_DY = 11,
    PRW_DZ = 12,
    PRW_DS = 13,
    PRW_REDU = 14,
    PRW_REDU2 = 15,
    PRW_REDU3 = 16,
    PRW_SKIP = 17,
    PRW_SX = 105,
    PRW_SY = 106,
    PRW_SZ = 107,
    PRW_RESX = 115,
    PRW_RESY = 116,
    PRW_RESZ = 117
};

using KaPointFormat = TKaFormatTable<eKaPointRWMask>;

enum eKaUnit { KaUnitMM = 1, KaUnitCM = 2, KaUnitM = 3, KaUnitMicron = 4 };
enum eKaAngleUnit { KaAngleRad = 1, KaAngleDeg = 2, KaAngleGon = 3 };

// The universal point record: object points, image measurements, reseau crosses
// and polygon vertices. The identifier is the point number.
class TARVIS_API KaPoint : public KaListnode, public KaFlag {
public:
    KaPoint() = default;
    KaPoint(unsigned int id, double x, double y, double z = 0.0, short controlFlags = 0);
    KaPoint(KaPoint const& other);
    KaPoint& operator=(KaPoint const& other);
    ~KaPoint() override;

    using KaListnode::Compare;
    // (photo difference) + (number difference), in 32-bit arithmetic: ascending
    // numbers within a photo.
    int Compare(KaListnode const* other) const override;

    // Zeroes everything but number, name and flags.
    void init();

    int IsXControlPoint() const { return controlFlags & 0x1; }
    int IsYControlPoint() const { return controlFlags & 0x2; }
    int IsZControlPoint() const { return controlFlags & 0x4; }
    short GetControlFlags() const { return controlFlags; }
    void SetControlFlags(short flags) { controlFlags = flags; }
    char const* GetControlFlagsAsXYZ() const { return GetControlCodeAsXYZ(controlFlags); }
    char const* GetControlFlagsAs123() const { return GetControlCodeAs123(controlFlags); }
    static char const* GetControlCodeAsXYZ(int code);
    static char const* GetControlCodeAs123(int code);
    // 12 gives X and Y, 123 all three.
    short SetAsControlFlag(int code);
    // '1', 'X', 'x' give X; '2', 'Y', 'y' give Y; '3', 'Z', 'z' give Z.
    short SetAsControlFlag(char const* text);

    // Equal coordinates; nothing else counts.
    bool operator==(KaPoint const& other) const;
    double Distance(KaPoint const& other) const;
    // x, y and z as a vector of three elements (defined with the vectors).
    KaVector GetAsVector() const;
    KaPoint operator+(KaPoint const& other) const;
    KaPoint operator-(KaPoint const& other) const;
    // The mean of both points.
    KaPoint operator%(KaPoint const& other) const;
    KaPoint operator*(double s) const;
    KaPoint operator/(double s) const;

    // This point or the next (previous) one in its list whose flag word has any bit of mask.
    KaPoint* First(int mask);
    KaPoint* Next(int mask) const;
    KaPoint* Previous(int mask) const;
    KaPoint* Next() const { return static_cast<KaPoint*>(KaListnode::Next()); }
    KaPoint* Previous() const { return static_cast<KaPoint*>(KaListnode::Previous()); }

    // One point in the columns of mask; reading goes on across line ends.
    int Read(KaReaderObject* object, KaPointFormat const& mask);
    void Write(std::ostream& os, KaPointFormat const& mask) const;

    int photoId = 0;
    int cameraId = 0;
    short controlFlags = 0;
    unsigned int tag = 0;
    double x = 0.0, y = 0.0, z = 0.0;
    double dx = 0.0, dy = 0.0, dz = 0.0;
    double redu = 0.0, redu2 = 0.0, redu3 = 0.0;
    unsigned int tag2 = 0;
};

// The flag predicates, in the form a KaTestFilter takes.
TARVIS_API unsigned int IsPointFlagGuiSelect(KaObject const* object);
TARVIS_API unsigned int IsPointFlagGuiCheckActive(KaObject const* object);
TARVIS_API unsigned int IsPointGuiCheckAccept(KaObject const* object);
TARVIS_API unsigned int IsPointGuiCheckNotAccept(KaObject const* object);
TARVIS_API unsigned int IsPointGuiCheckMediumAccept(KaObject const* object);
TARVIS_API unsigned int IsPointTrafo2DUsed(KaObject const* object);
TARVIS_API unsigned int IsPointTrafo3DUsed(KaObject const* object);
TARVIS_API unsigned int IsPointRelorUsed(KaObject const* object);
TARVIS_API unsigned int IsPointEinbor(KaObject const* object);

TARVIS_API void MultiplyKaPoint(KaPoint* point, double f);

// "mm", "cm", "m", "\xB5m" (the micro sign of code page 1252), or "??".
TARVIS_API char const* GetKaUnitText(eKaUnit unit, bool brackets);
// Metres per unit.
TARVIS_API double GetUnitFactor(eKaUnit unit);
TARVIS_API void ConvertUnit(double* value, eKaUnit from, eKaUnit to);
TARVIS_API void ConvertUnit(KaPoint* point, eKaUnit from, eKaUnit to);
TARVIS_API double ConvertAngle(double const& value, eKaAngleUnit from, eKaAngleUnit to);

// A 2D position with the columns X and Y.
class TARVIS_API KaPosition : public KaPoint {
public:
    KaPosition() = default;
    KaPosition(double x, double y);
    KaPosition(KaPosition const& other) = default;
    KaPosition& operator=(KaPosition const& other) = default;
    ~KaPosition() override;

    using KaPoint::Read;
    using KaPoint::Write;
    int Read(KaReaderObject* object);
    void Write(std::ostream& os) const;
};

// Three points that are not owned, with a visibility flag each.
class TARVIS_API KaPointTripel {
public:
    KaPointTripel() = default;
    KaPointTripel(KaPointTripel const& other) = default;
    KaPointTripel& operator=(KaPointTripel const& other) = default;

    KaPoint*& operator[](int i) { return m_points[i]; }
    void Set(KaPoint* point, int i) { m_points[i] = point; }
    bool IsVisible(int i) const { return m_visible[i] != 0; }
    void SetVisible(int i, bool visible) { m_visible[i] = visible ? 1 : 0; }
    bool IsInTripel(KaPoint const* point) const;
    bool IsValid() const { return m_points[0] && m_points[1] && m_points[2]; }

private:
    KaPoint* m_points[3] = {nullptr, nullptr, nullptr};
    unsigned char m_visible[3] = {0, 0, 0};
};
