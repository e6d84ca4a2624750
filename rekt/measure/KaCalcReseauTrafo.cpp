#include "measure/KaCalcReseauTrafo.h"

#include "geometry/KaRegion.h"
#include "model/KaPhoto.h"
#include "model/KaReseauTrafo.h"
#include "project/KaProject.h"

#include <utility>

KaCalcReseauTrafo::KaCalcReseauTrafo(KaProject* project) : m_project(project), m_nominal(&m_empty) {
    SetPPList(m_nominal);
}

KaCalcReseauTrafo::KaCalcReseauTrafo(KaCalcReseauTrafo const& other)
    : KaCalcTrafo2D(other), m_project(other.m_project), m_nominal(&m_empty) {
    UseReseauFile(other.m_reseauFile);
}

KaCalcReseauTrafo& KaCalcReseauTrafo::operator=(KaCalcReseauTrafo const& other) {
    if (this == &other)
        return *this;
    KaCalcTrafo2D::operator=(other);
    m_project = other.m_project;
    m_second = nullptr;
    UseReseauFile(other.m_reseauFile);
    return *this;
}

KaCalcReseauTrafo::~KaCalcReseauTrafo() = default;

void KaCalcReseauTrafo::UseReseauFile(KaReseauFile* file) {
    m_reseauFile = file;
    m_nominal = file ? &file->GetCrossList() : &m_empty;
    SetPPList(m_nominal);
}

bool KaCalcReseauTrafo::SetReseauData(KaReseauDataDesc const& desc) {
    KaReseauFile* file = m_project ? m_project->FindOrReadReseauFile(desc) : nullptr;
    if (file)
        UseReseauFile(file);
    return file != nullptr;
}

bool KaCalcReseauTrafo::UsePhotoReseauFile(KaPhoto const* photo) {
    // A file that cannot be found must not leave an earlier photo's file in use.
    KaReseauFile* file = m_project && photo ? m_project->FindOrReadReseauFile(photo->ReseauData()) : nullptr;
    UseReseauFile(file);
    return file != nullptr;
}

int KaCalcReseauTrafo::CalcRelPos(KaPoint const& a, KaPoint const& b) {
    bool const right = b.x >= a.x;
    bool const up = b.y >= a.y;
    if (up)
        return right ? 0 : 1;
    return right ? 3 : 2;
}

int KaCalcReseauTrafo::CalcPhotoAngle(KaPointList* list) {
    if (!list || list->Count() < 2)
        return 0;
    KaPoint const* first = list->First();
    KaPoint const* second = first->Next();
    KaPoint const* nominalFirst = m_nominal->Find(first->GetId(), 0);
    KaPoint const* nominalSecond = m_nominal->Find(second->GetId(), 0);
    if (!nominalFirst || !nominalSecond)
        return 0;
    int const angle = CalcRelPos(*first, *second) - CalcRelPos(*nominalFirst, *nominalSecond);
    return angle < 0 ? angle + 4 : angle;
}

int KaCalcReseauTrafo::CalcPhotoAngle(KaPhoto* photo) {
    if (!UsePhotoReseauFile(photo))
        return 0;
    int const angle = CalcPhotoAngle(&photo->GetMeasureList());
    photo->SetRotation(angle);
    return angle;
}

eKaTrafo2DType KaCalcReseauTrafo::SuggestReseautrafo(KaPhoto* photo) {
    if (!m_reseauFile || !photo)
        return KaTrafo2DNone;
    KaRegion region = m_reseauFile->GetPhotoRegion();
    region += 5.0;
    return SuggestTrafoByDistrib(region, &photo->GetMeasureList());
}

bool KaCalcReseauTrafo::CalcReseautrafo(KaPointList* list, eKaTrafo2DType kind) {
    if (!m_reseauFile || !list)
        return false;
    SetPPList(m_nominal);
    bool fitted = false;
    switch (kind) {
    case KaTrafo2DHelmert:
        fitted = CalcTrafoHelmert(list);
        break;
    case KaTrafo2DAffin:
        fitted = CalcTrafoAffin(list);
        break;
    case KaTrafo2DProjektiv:
        fitted = CalcTrafoProjectiv(list);
        break;
    case KaTrafo2DPolynomial:
        fitted = CalcTrafoPolynom(list);
        break;
    default:
        return false;
    }
    return fitted && CalcResiduals(list);
}

bool KaCalcReseauTrafo::CalcReseautrafo(KaPhoto* photo, bool pre, eKaTrafo2DType kind) {
    if (!photo || !UsePhotoReseauFile(photo))
        return false;
    if (kind == KaTrafo2DNone)
        kind = SuggestReseautrafo(photo);
    if (!CalcReseautrafo(&photo->GetMeasureList(), kind))
        return false;
    KaTrafo2d const& fitted = *this;
    if (pre) {
        photo->SetReseauPreTrafo(KaReseauTrafo(fitted));
        photo->SetScale(GetScale());
    } else {
        photo->SetReseauMainTrafo(KaReseauTrafo(fitted));
        photo->SetReseauData(KaReseauDataDesc(m_reseauFile));
    }
    return true;
}

bool KaCalcReseauTrafo::CalcInvPolynomTrafo(KaPhoto* photo) {
    if (!photo || !UsePhotoReseauFile(photo))
        return false;
    // The measured crosses become the targets, the nominal crosses the sources.
    m_second = &photo->GetMeasureList();
    TogglePointList();
    SetPPList(m_nominal);
    bool const fitted = CalcTrafoPolynom(m_second);
    TogglePointList();
    SetPPList(m_nominal);
    m_second = nullptr;
    if (fitted)
        photo->SetPolyInvTrafo(KaReseauTrafo(static_cast<KaTrafo2d const&>(*this)));
    return fitted;
}

void KaCalcReseauTrafo::ReplacePointCoords(KaPointList* list) {
    if (!list)
        return;
    for (KaPoint* point = list->First(); point; point = point->Next()) {
        if (KaPoint const* cross = m_nominal->Find(point->GetId(), 0)) {
            point->x = cross->x;
            point->y = cross->y;
        }
    }
}

void KaCalcReseauTrafo::TogglePointList() {
    std::swap(m_nominal, m_second);
    if (!m_nominal)
        m_nominal = &m_empty;
}

bool KaCalcReseauTrafo::WriteReseauLogFile(KaPhoto*) {
    return false;
}
