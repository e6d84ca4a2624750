#include "model/KaPointList.h"

#include "textio/KaFileName.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <cstdio>
#include <fstream>
#include <locale>
#include <ostream>
#include <string>
#include <unistd.h>
#include <unordered_map>
#include <vector>

KaPointList::KaPointList(KaPointFormat const& mask) : KaPointFormat(mask) {}

KaPointList::KaPointList(String const& filename, KaPointFormat const& mask) {
    ReadFile(filename, mask);
}

KaPointList::KaPointList(KaPointList const& other) : TKaListHeader<KaPoint>(other), KaPointFormat(other) {}

KaPointList& KaPointList::operator=(KaPointList const& other) {
    if (this != &other) {
        TKaListHeader<KaPoint>::operator=(other);
        KaPointFormat::operator=(other);
    }
    return *this;
}

KaPointList::~KaPointList() = default;

KaPoint* KaPointList::Find(unsigned int id, unsigned int photoId, KaPoint* start) const {
    auto matches = [&](KaPoint const* p) {
        return p->GetId() == id && (photoId == 0 || static_cast<unsigned int>(p->photoId) == photoId);
    };
    KaPoint* p = start ? start : First();
    for (; p; p = p->Next())
        if (matches(p))
            return p;
    if (start)
        for (p = start; p; p = p->Previous())
            if (matches(p))
                return p;
    return nullptr;
}

KaPoint* KaPointList::FindNearest(KaPoint const& p, double* distance) const {
    KaPoint* best = nullptr;
    double bestDistance = 0.0;
    for (KaPoint* q = First(); q; q = q->Next()) {
        double const d = q->Distance(p);
        if (!best || d < bestDistance) {
            best = q;
            bestDistance = d;
        }
    }
    if (distance)
        *distance = bestDistance;
    return best;
}

int KaPointList::Read(KaReaderObject* object) {
    KaParser& parser = object->GetParser();
    KaPoint scratch;
    try {
        for (;;) {
            // A mask of skipped columns alone never meets a typed read that would
            // throw at the end of the input; end the list there all the same.
            if (parser.GetToken().GetType() == TokenEOF)
                throw parser.GetStatus();
            int const before = parser.GetStatus().GetTokenNumber();
            scratch.Read(object, GetMask());
            // A mask without a column to read would add the same point forever.
            if (parser.GetStatus().GetTokenNumber() == before && parser.GetToken().GetType() != TokenEOF)
                break;
            Add(scratch);
        }
    } catch (KaParserStatus const&) {
        // A closing brace ends the list of a block; anything else is the caller's.
        if (parser.GetToken().GetType() != TokenEndBlock)
            throw;
    }
    return 1;
}

void KaPointList::Write(std::ostream& os) const {
    for (KaPoint const* p = First(); p; p = p->Next()) {
        p->Write(os, GetMask());
        if (p->Next())
            os << Kaendl;
    }
}

int KaPointList::ReadFile(String const& name, KaPointFormat const& mask) {
    return ReadFile(name, mask, nullptr);
}

int KaPointList::ReadFile(String const& name, KaPointFormat const& mask, KaReaderErrorList* errors) {
    SetMask(mask);
    KaReader reader(name);
    KaReaderObject values(Link(this, &KaPointList::Read));
    reader.RegisterObject(values);
    reader.DoProcess(false);
    if (errors)
        *errors = *reader.GetReaderErrorList();
    return Count();
}

int KaPointList::WriteFile(String const& name) {
    // A failed write never leaves a half-written file where the old one was.
    return KaWriteFileReplacing(name, [this](std::ostream& os) { Write(os); }) ? 1 : 0;
}

int KaPointList::WriteFile(String const& name, KaPointFormat const& mask) {
    SetMask(mask);
    return WriteFile(name);
}

int FindKaPointById(KaPointList const& a, KaPointList const& b, KaPointList* out) {
    // Each point of b matches at most one point of a: count the numbers of b and
    // use each up once.
    std::unordered_map<unsigned int, int> unmatched;
    for (KaPoint const* p = b.First(); p; p = p->Next())
        ++unmatched[p->GetId()];
    int count = 0;
    for (KaPoint const* p = a.First(); p; p = p->Next()) {
        auto const it = unmatched.find(p->GetId());
        if (it == unmatched.end() || it->second == 0)
            continue;
        --it->second;
        ++count;
        if (out)
            out->Add(*p);
    }
    return count;
}

std::ostream& operator<<(std::ostream& os, KaPointFormat const& mask) {
    for (int i = 0; i < mask.Size(); ++i) {
        switch (mask[i]) {
        case PRW_NUMBER:
            os << w8 << "#";
            break;
        case PRW_CODE123:
        case PRW_CODE:
            os << w4 << "Code";
            break;
        case PRW_NAME:
            os << w8 << "PP";
            break;
        case PRW_PHOTO:
            os << w8 << "Photo";
            break;
        case PRW_CAMERA:
            os << w8 << "Camera";
            break;
        case PRW_X:
            os << w16 << "   X";
            break;
        case PRW_Y:
            os << w16 << "   Y";
            break;
        case PRW_Z:
            os << w16 << "   Z";
            break;
        case PRW_DX:
            os << w19 << "  dx";
            break;
        case PRW_DY:
            os << w19 << "  dy";
            break;
        case PRW_DZ:
            os << w19 << "  dz";
            break;
        case PRW_DS:
            os << w19 << "  dS";
            break;
        case PRW_REDU:
            os << w19 << "Redu";
            break;
        case PRW_REDU2:
            os << w19 << "Redu2";
            break;
        case PRW_REDU3:
            os << w19 << "Redu3";
            break;
        case PRW_SX:
            os << w19 << "  Sx";
            break;
        case PRW_SY:
            os << w19 << "  Sy";
            break;
        case PRW_SZ:
            os << w19 << "  Sz";
            break;
        case PRW_RESX:
            os << w19 << "Residual x";
            break;
        case PRW_RESY:
            os << w19 << "Residual y";
            break;
        case PRW_RESZ:
            os << w19 << "Residual z";
            break;
        default:
            break;
        }
    }
    return os;
}
