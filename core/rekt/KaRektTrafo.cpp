#include "rekt/KaRektTrafo.h"

#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <memory>
#include <ostream>

namespace {

constexpr eKaPointRWMask End = static_cast<eKaPointRWMask>(0);
eKaPointRWMask const ColumnsXY[] = {PRW_X, PRW_Y, End};
eKaPointRWMask const ColumnsNrXY[] = {PRW_NUMBER, PRW_X, PRW_Y, End};
eKaPointRWMask const ColumnsNrXYZ[] = {PRW_NUMBER, PRW_X, PRW_Y, PRW_Z, End};

KaMatrix Identity(int n) {
    KaMatrix m(n, n);
    m.SetIdent();
    return m;
}

// Takes the current token, which must be of the given type, and moves on.
void Expect(KaReaderObject* object, KaStreamParser& in, eKaTokentype type) {
    object->GetParser().GetToken(type);
    in.Advance();
}

// Reads a matrix record; only one of the expected size replaces target, so the
// transform keeps usable matrices whatever a damaged file holds.
void ReadSquare(KaReaderObject* object, KaMatrix& target) {
    KaMatrix read(0, 0);
    read.Read(object);
    if (read.GetLines() == target.GetLines() && read.GetSpalten() == target.GetSpalten())
        target = read;
}

// A point record as a plain point list in the polygon's columns. Unlike a
// polygon outline, two points stay two points here: they are measured or
// defining points that other records refer to by number.
void ReadPoints(KaReaderObject* object, KaPolygon& polygon, eKaPointRWMask const* columns) {
    KaPointList read{KaPointFormat(columns)};
    KAPolygonMode const mode = polygon.GetMode();
    try {
        read.Read(object);
    } catch (KaParserStatus const&) {
        polygon = KaPolygon(&read, mode);
        throw;
    }
    polygon = KaPolygon(&read, mode);
}

// s12, keyword, a line end and the record in a block of its own.
template <class Record>
void WriteRecord(std::ostream& os, char const* keyword, Record write) {
    os << s12 << keyword << Kaendl << KaBeginBlockNL;
    write();
    os << KaEndBlockNL << Kaendl;
}

void WriteValue(std::ostream& os, char const* keyword, int value) {
    os << s12 << keyword << w4 << value << Kaendl;
}

} // namespace

// ---------------------------------------------------------------------------
// KaRektTrafo

KaRektTrafo::KaRektTrafo()
    : m_rektMat(Identity(3)), m_transMat(Identity(4)), m_defPoints(KaPolygonNrXYZ),
      m_measPoints(KaPolygonNrXY), m_parallelDef(&m_measPoints.GetPointList()), m_region(KaPolygonXY) {}

KaRektTrafo::KaRektTrafo(KaReaderObject* object, bool oldLayout) : KaRektTrafo() {
    if (oldLayout)
        ReadV50(object);
    else
        Read(object);
}

KaRektTrafo::KaRektTrafo(KaRektTrafo const& other)
    : KaListnode(other), KaFlag(other), m_rektMat(other.m_rektMat), m_transMat(other.m_transMat),
      m_defPoints(other.m_defPoints), m_measPoints(other.m_measPoints), m_parallelDef(other.m_parallelDef),
      m_region(other.m_region), m_camera(other.m_camera) {
    m_parallelDef.SetPointList(&m_measPoints.GetPointList());
}

KaRektTrafo& KaRektTrafo::operator=(KaRektTrafo const& other) {
    if (this != &other) {
        KaFlag::operator=(other);
        m_rektMat = other.m_rektMat;
        m_transMat = other.m_transMat;
        m_defPoints = other.m_defPoints;
        m_measPoints = other.m_measPoints;
        m_parallelDef = other.m_parallelDef;
        m_region = other.m_region;
        m_camera = other.m_camera;
    }
    m_parallelDef.SetPointList(&m_measPoints.GetPointList());
    return *this;
}

KaRektTrafo::~KaRektTrafo() = default;

bool KaRektTrafo::Overlap(KaPoint const* point) const {
    return m_region.Overlap(point);
}

void KaRektTrafo::ToPlane(KaPoint* p) const {
    if (CompensateDistortion())
        m_camera.Adjust(&p->x, &p->y);
    m_rektMat.PTrans2D(&p->x, &p->y);
}

bool KaRektTrafo::Transform(KaPoint const* in, KaPoint* out) const {
    if (!in || !out)
        return false;
    if (in != out)
        *out = *in;
    ToPlane(out);
    m_transMat.PTrans3D(&out->x, &out->y, &out->z);
    return true;
}

int KaRektTrafo::Transform(KaPointList* list) const {
    int count = 0;
    for (KaPoint* p = list ? list->First() : nullptr; p; p = p->Next(), ++count)
        Transform(p, p);
    return count;
}

KaPolygon KaRektTrafo::PlaneRegion() const {
    KaPolygon plane(m_region);
    for (KaPoint* p = plane.First(); p; p = p->Next())
        ToPlane(p);
    plane.UpdateMinMax();
    return plane;
}

double KaRektTrafo::Area() const {
    return PlaneRegion().Area(true);
}

double KaRektTrafo::Length() const {
    return PlaneRegion().Length(true);
}

int KaRektTrafo::ReadRektMat(KaReaderObject* object) {
    ReadSquare(object, m_rektMat);
    return 1;
}

int KaRektTrafo::ReadTransMat(KaReaderObject* object) {
    ReadSquare(object, m_transMat);
    return 1;
}

int KaRektTrafo::ReadDefPoints(KaReaderObject* object) {
    ReadPoints(object, m_defPoints, ColumnsNrXYZ);
    return 1;
}

int KaRektTrafo::ReadMeasPoints(KaReaderObject* object) {
    ReadPoints(object, m_measPoints, ColumnsNrXY);
    return 1;
}

int KaRektTrafo::ReadRegion(KaReaderObject* object) {
    m_region.Read(object);
    return 1;
}

int KaRektTrafo::Read(KaReaderObject* object) {
    m_measPoints.SetMode(KaPolygonNrXY);
    m_defPoints.SetMode(KaPolygonNrXYZ);
    m_region.SetMode(KaPolygonXY);

    int active = 0, distortion = 0, regionActive = 0;
    KaReaderObject entries[] = {
        {"REKTID", Link(static_cast<KaObject*>(this), &KaObject::Read)},
        {"ACTIV", &active},
        {"KAMERA", &distortion},
        {"REGIONACTIV", &regionActive},
        {"PARALLELDEF", Link(&m_parallelDef, &KaRektParallelDef::Read)},
        {"REKTTRAFO", Link(this, &KaRektTrafo::ReadRektMat)},
        {"TRAFO3D", Link(this, &KaRektTrafo::ReadTransMat)},
        {"DEFPOINTS", Link(this, &KaRektTrafo::ReadDefPoints)},
        {"DISTORTION", Link(&m_camera, &KaCamera::Read)},
        {"MEASPOINTS", Link(this, &KaRektTrafo::ReadMeasPoints)},
        {"VALIDREGION", Link(this, &KaRektTrafo::ReadRegion)},
    };
    for (KaReaderObject& entry : entries)
        object->RegisterObject(entry);
    object->DoProcess();

    m_region.GetPointList().Renumber(1, nullptr, 1);
    SetActive(active != 0);
    SetDistortCameraFlag(distortion != 0);
    SetRegionActive(regionActive != 0);
    return 1;
}

int KaRektTrafo::ReadV50(KaReaderObject* object) {
    KaStreamParser in = object->GetStreamParser();
    auto const id = static_cast<unsigned int>(in.GetInt());
    String const name = in.GetText();
    int const active = in.GetInt();

    // The eight free elements come in the order m13 m23 m12 m22 m32 m11 m21 m31.
    static constexpr int order[8][2] = {{1, 3}, {2, 3}, {1, 2}, {2, 2}, {3, 2}, {1, 1}, {2, 1}, {3, 1}};
    KaMatrix rektMat = Identity(3);
    for (auto const& [i, j] : order)
        rektMat.SetElem(i, j, in.GetNumber());
    rektMat.SetElem(3, 3, 1.0);

    KaMatrix transMat = Identity(4);
    Expect(object, in, TokenBeginBlock);
    ReadSquare(object, transMat);
    Expect(object, in, TokenEndBlock);

    KaPolygon region(KaPolygonXY);
    Expect(object, in, TokenBeginBlock);
    region.Read(object);
    Expect(object, in, TokenEndBlock);
    region.GetPointList().Renumber(1, nullptr, 1);

    KaPolygon measPoints(KaPolygonNrXY);
    KaPointFormat const columns(ColumnsXY);
    for (int k = 0; k < 4; ++k) {
        KaPoint p;
        p.Read(object, columns);
        measPoints.AddPoint(p);
    }
    measPoints.GetPointList().Renumber(1, nullptr, 1);

    // Everything is read: only now does the transform change.
    SetId(id);
    SetName(name);
    m_rektMat = rektMat;
    m_transMat = transMat;
    m_region = region;
    m_measPoints = measPoints;
    m_parallelDef.Clear();
    SetActive(active != 0);
    SetRegionActive(true);
    SetDistortCameraFlag(false);

    KaPointList defPoints(m_measPoints.GetPointList());
    Transform(&defPoints);
    defPoints.Renumber(1, nullptr, 1);
    m_defPoints = KaPolygon(&defPoints, KaPolygonNrXYZ);
    return 1;
}

void KaRektTrafo::Write(std::ostream& os) const {
    os << s12 << "REKTID" << w4 << KaBeginBlock;
    KaObject::Write(os);
    os << KaEndBlock << Kaendl;
    WriteValue(os, "ACTIV", IsActive() ? 1 : 0);
    WriteValue(os, "KAMERA", GetDistortCameraFlag() ? 1 : 0);
    WriteValue(os, "REGIONACTIV", IsRegionActive() ? 1 : 0);
    if (m_parallelDef.HasData())
        WriteRecord(os, "PARALLELDEF", [&] { m_parallelDef.Write(os); });
    WriteRecord(os, "REKTTRAFO", [&] { m_rektMat.Write(os); });
    WriteRecord(os, "TRAFO3D", [&] { m_transMat.Write(os); });
    // Polygons write through a copy: writing sets the copy's column mask.
    WriteRecord(os, "DEFPOINTS", [&] { KaPolygon(m_defPoints).Write(os); });
    WriteRecord(os, "DISTORTION", [&] { m_camera.Write(os); });
    WriteRecord(os, "MEASPOINTS", [&] { KaPolygon(m_measPoints).Write(os); });
    WriteRecord(os, "VALIDREGION", [&] { KaPolygon(m_region).Write(os); });
}

// ---------------------------------------------------------------------------
// KaRektTrafoList

KaRektTrafoList& KaRektTrafoList::operator=(KaRektTrafoList const& other) {
    TKaListHeader<KaRektTrafo>::operator=(other);
    return *this;
}

KaRektTrafoList::~KaRektTrafoList() = default;

int KaRektTrafoList::AddTrafo(KaReaderObject* object) {
    auto trafo = std::make_unique<KaRektTrafo>(object, false);
    Add(trafo.release());
    return 1;
}

int KaRektTrafoList::AddTrafoV50(KaReaderObject* object) {
    auto trafo = std::make_unique<KaRektTrafo>(object, true);
    Add(trafo.release());
    return 1;
}

// ---------------------------------------------------------------------------
// Filters

unsigned int IsRektActive(KaObject const* object) {
    auto const* trafo = dynamic_cast<KaRektTrafo const*>(object);
    return trafo && trafo->IsActive() ? 1u : 0u;
}

unsigned int HasRektRegion(KaObject const* object) {
    auto const* trafo = dynamic_cast<KaRektTrafo const*>(object);
    return trafo && trafo->HasRegion() ? 1u : 0u;
}
