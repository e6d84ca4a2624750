#include "model/KaReseauFile.h"

#include "foundation/Link.h"
#include "model/KaDetectTarvoFiles.h"
#include "textio/KaFileName.h"
#include "textio/KaParser.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <ios>
#include <locale>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The columns of a cross: number, x, y, code.
eKaPointRWMask const CrossColumns[] = {PRW_NUMBER, PRW_X, PRW_Y, PRW_CODE, static_cast<eKaPointRWMask>(0)};

KaPointFormat const& CrossMask() {
    static KaPointFormat const mask(CrossColumns);
    return mask;
}

constexpr short CrossCodeSmall = 0;
constexpr short CrossCodeCorner = 2;

// Takes the current token, which must be of the given type, and moves on.
void Expect(KaReaderObject* object, KaStreamParser& in, eKaTokentype type) {
    object->GetParser().GetToken(type);
    in.Advance();
}

std::string Quoted(String const& text) {
    return std::string("\"") + KaQuotable(text).chars() + "\"";
}

} // namespace

// ---------------------------------------------------------------------------
// KaReseauFile

KaReseauFile::KaReseauFile() : m_CrossList(CrossMask()) {}

KaReseauFile::KaReseauFile(String const& path) : m_CrossList(CrossMask()) {
    ReadFile(path);
}

KaReseauFile::KaReseauFile(KaReseauFile const& other)
    : KaListnode(other), m_SubId(other.m_SubId), m_Comment(other.m_Comment),
      m_PhotoRegion(other.m_PhotoRegion), m_BoxRegion(other.m_BoxRegion), m_CrossList(other.m_CrossList),
      m_valid(other.m_valid), m_ExifPixelWidth(other.m_ExifPixelWidth),
      m_ExifPixelHeight(other.m_ExifPixelHeight) {}

KaReseauFile& KaReseauFile::operator=(KaReseauFile const& other) {
    if (this == &other)
        return *this;
    KaObject::operator=(other);
    m_SubId = other.m_SubId;
    m_Comment = other.m_Comment;
    m_PhotoRegion = other.m_PhotoRegion;
    m_BoxRegion = other.m_BoxRegion;
    m_CrossList = other.m_CrossList;
    m_valid = other.m_valid;
    m_ExifPixelWidth = other.m_ExifPixelWidth;
    m_ExifPixelHeight = other.m_ExifPixelHeight;
    return *this;
}

KaReseauFile::~KaReseauFile() = default;

int KaReseauFile::ReadFile(String const& path) {
    // Reading again into a used object must not add the new crosses to the old.
    m_SubId = 0;
    m_Comment = "";
    m_PhotoRegion = KaRegion();
    m_BoxRegion = KaRegion();
    m_CrossList.Destroy();
    m_valid = false;
    m_ExifPixelWidth = m_ExifPixelHeight = 0;

    SetName(KaGetFilename(path));
    KaReader reader(path);
    KaReaderObject anonymous{Link(this, &KaReseauFile::Read)};
    reader.RegisterObject(anonymous);
    reader.DoProcess(true);
    return 1;
}

int KaReseauFile::Read(KaReaderObject* object) {
    KaStreamParser in = object->GetStreamParser();
    m_Comment = in.GetText();
    Expect(object, in, TokenBeginBlock);
    m_PhotoRegion.Read(object);
    Expect(object, in, TokenEndBlock);
    Expect(object, in, TokenBeginBlock);
    m_BoxRegion.Read(object);
    Expect(object, in, TokenEndBlock);
    m_valid = true;

    KaPoint cross; // reused: a field the mask does not read keeps its value
    try {
        for (;;) {
            Expect(object, in, TokenBeginBlock);
            cross.Read(object, CrossMask());
            m_CrossList.Add(cross);
            Expect(object, in, TokenEndBlock);
        }
    } catch (KaParserStatus const& status) {
        // The crosses run to the end of the input.
        if (status.GetStatus() == ParserStatusEOF || object->GetParser().GetToken().GetType() == TokenEOF)
            return 1;
        throw;
    }
}

void KaReseauFile::Write(std::ostream& os) const {
    os << '"' << KaQuotable(m_Comment).chars() << '"' << Kaendl;
    os << KaBeginBlock;
    m_PhotoRegion.Write(os);
    os << KaEndBlock << Kaendl;
    os << KaBeginBlock;
    m_BoxRegion.Write(os);
    os << KaEndBlock << std::endl << Kaendl;
    for (KaPoint const* cross = m_CrossList.First(); cross; cross = cross->Next()) {
        os << KaBeginBlock;
        cross->Write(os, CrossMask());
        os << KaEndBlock << std::endl;
    }
}

void KaReseauFile::WriteHeaderComment(std::ostream& os) {
    std::string const indent(13, ' ');
    os << KaComment << std::endl;
    os << KaComment << "TARVOSYS 10 Version "
       << "6.715"
       << " Reseau File" << std::endl;
    os << KaComment << std::endl;
    os << KaComment << "File Format:" << std::endl;
    os << KaComment << "\"Infotext\"         ... Commenttext displayed in a graphical view" << std::endl;
    os << KaComment << "{ x1, y1, x2, y2 } ... Size of Photo in Bikos [mm]" << std::endl;
    os << KaComment << "{ x1, y1, x2, y2 } ... Pos. and size of Commenttext" << std::endl;
    os << KaComment << "{ Id, x, y, Code } ... List of Reseaucrosses" << std::endl;
    os << KaComment << "            Code  Description" << std::endl;
    os << KaComment << indent << "0"
       << " .. Small Reseaucross" << std::endl;
    os << KaComment << indent << "1"
       << " .. Big Reseaucross" << std::endl;
    os << KaComment << indent << "2"
       << " .. Not really a cross, a Corner of the Picture" << std::endl;
    os << KaComment << std::endl;
    os << std::endl;
}

int KaReseauFile::ReadDigitalCameraFormat(KaReaderObject* object) {
    KaStreamParser in = object->GetStreamParser();
    Expect(object, in, TokenBeginBlock);
    String const cameraType = in.GetText();
    auto const subId = static_cast<unsigned int>(in.GetInt());
    String const comment = in.GetText();
    int const pixelWidth = in.GetInt();
    int const pixelHeight = in.GetInt();
    double const ccdX = in.GetNumber();
    double const ccdY = in.GetNumber();
    m_SubId = subId;
    Set(cameraType, comment, pixelWidth, pixelHeight, ccdX, ccdY);
    return 1;
}

void KaReseauFile::WriteDigitalCameraFormat(std::ostream& os) const {
    if (m_CrossList.Count() != 4)
        return;
    KaPoint const* first = m_CrossList.First();
    double minX = first->x, maxX = first->x, minY = first->y, maxY = first->y;
    for (KaPoint const* cross = first->Next(); cross; cross = cross->Next()) {
        minX = std::min(minX, cross->x);
        maxX = std::max(maxX, cross->x);
        minY = std::min(minY, cross->y);
        maxY = std::max(maxY, cross->y);
    }
    // std::left, not the writer's left: that one would drop the width just set.
    os << "{ " << w14 << std::left << Quoted(GetName()) << " " << w4 << m_SubId << " " << w14 << std::left
       << Quoted(m_Comment) << " " << w6 << m_ExifPixelWidth << " " << w6 << m_ExifPixelHeight << " " << w6
       << p6 << maxX - minX << " " << w6 << p6 << maxY - minY << " "
       << " }" << std::endl;
}

bool KaReseauFile::Set(String const& cameraType, String const& comment, int pixelWidth, int pixelHeight,
                       double ccdX, double ccdY) {
    SetName(cameraType);
    m_Comment = comment;
    m_ExifPixelWidth = pixelWidth;
    m_ExifPixelHeight = pixelHeight;
    if (ccdX == 0.0 || ccdY == 0.0)
        return false;

    double const hx = ccdX * 0.5;
    double const hy = ccdY * 0.5;
    double const ex = hx * 1.05;
    double const ey = hy * 1.05;
    m_PhotoRegion.Set(-ex, -ey, ex, ey);
    m_BoxRegion.Set(ex * 0.16666666666666666, -ey, ex, ey * -0.8333333333333334);
    m_CrossList.Add(new KaPoint(11, -hx, hy, 0.0));
    m_CrossList.Add(new KaPoint(12, hx, hy, 0.0));
    m_CrossList.Add(new KaPoint(21, -hx, -hy, 0.0));
    m_CrossList.Add(new KaPoint(22, hx, -hy, 0.0));
    for (KaPoint* cross = m_CrossList.First(); cross; cross = cross->Next())
        cross->controlFlags = CrossCodeCorner;
    m_valid = true;
    return true;
}

void KaReseauFile::GenerateDummyData() {
    if (m_valid)
        return;
    SetName(">>DUMMY DATA<<");
    m_Comment = ">>DUMMY DATA<<";
    m_PhotoRegion.Set(-20.0, -14.0, 20.0, 14.0);
    m_BoxRegion.Set(2.0, -14.0, 20.0, -12.0);
    m_CrossList.Destroy();
    struct Cross {
        unsigned int id;
        double x, y;
    };
    static constexpr Cross Grid[] = {{11, -15, 10}, {14, 0, 10},    {17, 15, 10}, {31, -15, 0}, {34, 0, 0},
                                     {37, 15, 0},   {51, -15, -10}, {54, 0, -10}, {57, 15, -10}};
    for (Cross const& c : Grid)
        m_CrossList.Add(new KaPoint(c.id, c.x, c.y, 0.0, CrossCodeSmall));
    m_valid = true;
}

String KaReseauFile::GetDescName() const {
    String name = GetName();
    char text[64];
    if (m_SubId != 0) {
        std::snprintf(text, sizeof text, " (%d)", static_cast<int>(m_SubId));
        name += text;
    }
    if (m_ExifPixelWidth != 0 && m_ExifPixelHeight != 0) {
        std::snprintf(text, sizeof text, " %d * %d Pixel", m_ExifPixelWidth, m_ExifPixelHeight);
        name += text;
    }
    return name;
}

KaPoint* KaReseauFile::FindNearest(KaPoint const& p, double* distance) const {
    return m_CrossList.FindNearest(p, distance);
}

bool KaReseauFile::FindCrossId(unsigned int& upperLeft, unsigned int& lowerRight) const {
    KaPoint const* ul = m_CrossList.FindNearest(KaPoint(0, m_PhotoRegion.Left(), m_PhotoRegion.Top()));
    KaPoint const* lr = m_CrossList.FindNearest(KaPoint(0, m_PhotoRegion.Right(), m_PhotoRegion.Bottom()));
    if (!ul || !lr)
        return false;
    upperLeft = ul->GetId();
    lowerRight = lr->GetId();
    return true;
}

int KaReseauFile::FindUserSelectedCrosses(unsigned int* ids, int max) const {
    if (!ids)
        return 0;
    int count = 0;
    for (KaPoint const* cross = m_CrossList.First(); cross && count < max; cross = cross->Next())
        if (cross->IsFlagSet(PointFlagGuiSelect))
            ids[count++] = cross->GetId();
    return count;
}

int KaReseauFile::SelectCross(unsigned int const* ids, int n) {
    if (!ids || n <= 0)
        return 0;
    unsigned int const* const end = ids + n;
    for (KaPoint* cross = m_CrossList.First(); cross; cross = cross->Next()) {
        if (std::find(ids, end, cross->GetId()) != end)
            cross->SetFlag(PointFlagGuiSelect);
        else
            cross->ClearFlag(PointFlagGuiSelect);
    }
    int found = 0;
    for (unsigned int const* id = ids; id != end; ++id)
        if (m_CrossList.Find(*id))
            ++found;
    return found;
}

// ---------------------------------------------------------------------------
// KaReseauDataDesc

KaReseauDataDesc::~KaReseauDataDesc() = default;

void KaReseauDataDesc::Set(String const& name, unsigned int subId) {
    m_name = name;
    m_subId = subId;
}

void KaReseauDataDesc::Set(KaReseauFile const* file) {
    if (file)
        Set(file->GetName(), file->GetSubId());
    else
        Set(String(), 0);
}

bool KaReseauDataDesc::Match(KaReseauDataDesc const& other) const {
    return fcompare(m_name, other.m_name) == 0;
}

bool KaReseauDataDesc::ExactMatch(KaReseauDataDesc const& other) const {
    return Match(other) && m_subId == other.m_subId;
}

bool KaReseauDataDesc::operator==(KaReseauDataDesc const& other) const {
    return other.m_subId != 0 ? ExactMatch(other) : Match(other);
}

// ---------------------------------------------------------------------------
// KaReseaufileList

KaReseaufileList& KaReseaufileList::operator=(KaReseaufileList const& other) {
    TKaListHeader<KaReseauFile>::operator=(other);
    return *this;
}

KaReseaufileList::~KaReseaufileList() = default;

bool KaReseaufileList::ReadReseauFile(String const& path) {
    eTarvoFiletype kind = FT_NONE;
    try {
        kind = KaDetectTarvoFiles(path).IsValidTarvoFile();
    } catch (KaParserStatus const&) {
        return false; // the first token is no token at all
    }

    if (kind == FT_RES) {
        KaReseauFile file(path);
        if (!file.IsValid())
            return false;
        delete Subtract(Find(file.GetName(), false));
        Add(file);
        return true;
    }
    if (kind == FT_DRES) {
        KaReader reader(path);
        KaReaderObject anonymous{Link(this, &KaReseaufileList::ReadDigitalCameraFormat)};
        reader.RegisterObject(anonymous);
        reader.DoProcess(true);
        return true;
    }
    return false;
}

int KaReseaufileList::ReadDigitalCameraFormat(KaReaderObject* object) {
    KaReseauFile entry;
    entry.ReadDigitalCameraFormat(object);
    if (entry.IsValid()) {
        entry.SetId(GetFreeId(0));
        Add(entry);
    }
    return 1;
}

KaReseauFile* KaReseaufileList::FindReseauFile(KaReseauDataDesc const& d) const {
    for (KaReseauFile* file = First(); file; file = file->Next())
        if (KaReseauDataDesc(file).ExactMatch(d))
            return file;
    return nullptr;
}

bool KaReseaufileList::WriteDigitalCameraFormat(String const& path) const {
    return KaWriteFileReplacing(path, [this](std::ostream& os) {
        WriteDigitalCameraFormatHeaderComment(os);
        WriteDigitalCameraFormat(os);
    });
}

void KaReseaufileList::WriteDigitalCameraFormat(std::ostream& os) const {
    for (KaReseauFile const* file = First(); file; file = file->Next())
        file->WriteDigitalCameraFormat(os);
    os << std::endl;
    os << KaComment << "EOF" << std::endl;
}

void KaReseaufileList::WriteDigitalCameraFormatHeaderComment(std::ostream& os) {
    os << KaComment << std::endl;
    os << KaComment << "TARVOSYS 10 Version "
       << "6.715"
       << " Digital Camera Reseau File" << std::endl;
    os << KaComment << std::endl;
    os << KaComment << "File Format:" << std::endl;
    os << KaComment
       << " { \"ExifKameraType\"  SubId \"Comment\"              Pixel_X  Pixel_Y   CCD_X    CCD_Y    }"
       << std::endl;
    os << KaComment << std::endl;
    os << std::endl;
}
