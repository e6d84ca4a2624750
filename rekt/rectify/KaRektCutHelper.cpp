#include "rectify/KaRektCutHelper.h"

#include "foundation/Link.h"
#include "geometry/KaPolygon.h"
#include "measure/KaMeasure.h"
#include "measure/KaMeasureControl.h"
#include "model/KaPhoto.h"
#include "model/KaPoint.h"
#include "rekt/KaRektTrafo.h"

KaRektCutHelper::KaRektCutHelper(KaMeasure* measure) {
    SetMeasure(measure);
}

KaRektCutHelper::~KaRektCutHelper() {
    DeselectAll();
    SetMeasure(nullptr);
}

void KaRektCutHelper::NotifyPhotoSelected() {}
void KaRektCutHelper::NotifyPlaneSelected() {}
void KaRektCutHelper::NotifyLastMeasurement(KaPoint const&) {}

void KaRektCutHelper::SetMeasure(KaMeasure* measure) {
    // Only the control this helper pushed is taken off again.
    if (m_measure && m_pushed)
        m_measure->PopControl(true);
    m_pushed = false;
    m_measure = measure;
    if (!m_measure)
        return;
    KaMeasureControl control;
    control.SetModeDefRektBounds(Link(this, &KaRektCutHelper::MeasureLink));
    m_measure->SetControl(control, true);
    m_pushed = true;
    m_measure->ShowRektPlanes(0);
    m_measure->MCEnableDigitizer();
}

void KaRektCutHelper::SetPhoto(KaPhoto* photo, bool bind) {
    m_photo = photo;
    m_trafo = nullptr;
    if (photo && bind && m_measure)
        m_measure->GetControl()->boundPhotoId = photo->GetId();
}

void KaRektCutHelper::SetTrafo(KaRektTrafo* trafo) {
    DeselectAll();
    m_trafo = trafo;
}

KaRektTrafo* KaRektCutHelper::GetFirstTrafo() const {
    return m_photo ? m_photo->FirstRektTrafo() : nullptr;
}

KaRektTrafo* KaRektCutHelper::GetFirstActiveTrafo() const {
    if (!m_photo)
        return nullptr;
    for (KaRektTrafo* t = m_photo->FirstRektTrafo(); t; t = t->Next())
        if (t->IsActive())
            return t;
    return nullptr;
}

KaRektTrafo* KaRektCutHelper::DuplicateTrafo() {
    if (!m_photo || !m_trafo)
        return nullptr;
    auto* copy = new KaRektTrafo(*m_trafo);
    copy->SetId(m_photo->GetRektList().GetFreeId(0));
    m_photo->AddRektTrafo(copy);
    SetTrafo(copy);
    return copy;
}

bool KaRektCutHelper::DelPlane() {
    if (!m_photo || !m_trafo)
        return false;
    KaRektTrafo* const removed = m_photo->GetRektList().Subtract(m_trafo);
    if (!removed)
        return false;
    delete removed;
    m_trafo = nullptr;
    return true;
}

void KaRektCutHelper::RemoveBounds() {
    if (!m_trafo)
        return;
    m_trafo->GetRegion().GetPointList().Destroy();
    m_trafo->GetRegion().UpdateMinMax();
}

void KaRektCutHelper::MakeBoundsFromDef() {
    if (!m_trafo)
        return;
    KaPolygon& region = m_trafo->GetRegion();
    KaSimpleClosedPath(m_trafo->GetBikoList(), &region.GetPointList());
    region.GetPointList().Renumber(1, nullptr, 1);
    region.UpdateMinMax();
}

bool KaRektCutHelper::CopyBoundsFromPlane(unsigned int rektId) {
    if (!m_trafo || !m_photo)
        return false;
    KaRektTrafo const* source = m_photo->FindRektTrafo(rektId);
    if (!source || !source->HasRegion())
        return false;
    if (source != m_trafo)
        m_trafo->GetRegion() = source->GetRegion();
    return true;
}

void KaRektCutHelper::SelPoint(unsigned int id) {
    if (!m_trafo)
        return;
    KaPointList& list = m_trafo->GetRegion().GetPointList();
    for (KaPoint* p = list.First(); p; p = p->Next()) {
        if (p->GetId() == id)
            p->SetFlag(PointFlagGuiCheckActive);
        else
            p->ClearFlag(PointFlagGuiCheckActive);
    }
    list.NotifyChanged(nullptr, nullptr);
}

void KaRektCutHelper::DelPoint(unsigned int id) {
    if (!m_trafo)
        return;
    KaPolygon& region = m_trafo->GetRegion();
    KaPointList& list = region.GetPointList();
    delete list.Subtract(list.Find(id, 0, nullptr));
    list.SetNotify(false);
    list.Renumber(1, nullptr, 1);
    list.SetNotify(true);
    region.UpdateMinMax();
    SelPoint(id);
}

long KaRektCutHelper::MeasureLink(void*) {
    if (!m_measure)
        return 0;
    KaMeasureControl* control = m_measure->GetControl();
    KaPoint point(control->lastEvent.point);

    if (!m_photo) {
        m_photo = control->photo;
        if (!m_photo)
            return 0;
        control->boundPhotoId = m_photo->GetId();
        NotifyPhotoSelected();
    }

    m_photo->ConvertBiko(&point, CB_PIXEL_TO_BIKO);

    if (!m_trafo) {
        bool activated = false;
        KaRektTrafo* trafo = m_photo->GetRektTrafo(&point, nullptr, true);
        if (!trafo) {
            trafo = m_photo->GetRektTrafo(&point, nullptr, false);
            if (trafo) {
                trafo->SetActive(true);
                m_photo->GetRektList().NotifyChanged(trafo, nullptr);
                activated = true;
            }
        }
        if (trafo) {
            m_trafo = trafo;
            NotifyPlaneSelected();
        }
        // A transform that had to be switched on first shows its planes; the
        // position only chose it.
        if (activated || !m_trafo)
            return 1;
    }

    NotifyLastMeasurement(point);
    int const photoId = static_cast<int>(m_photo->GetId());
    KaPolygon& region = m_trafo->GetRegion();
    KaPointList& list = region.GetPointList();
    for (KaPoint* p = list.First(); p; p = p->Next())
        p->photoId = photoId;
    point.photoId = photoId;

    list.SetNotify(false);
    if (m_insertMode) {
        list.SortedInsert(new KaPoint(point));
        list.Renumber(1, nullptr, 1);
        region.UpdateMinMax();
    } else {
        list.Replace(point);
        region.UpdateMinMax();
    }
    list.SetNotify(true);
    SelPoint(point.GetId());
    return 1;
}

void KaRektCutHelper::DeselectAll() {
    if (!m_trafo)
        return;
    KaPointList& list = m_trafo->GetRegion().GetPointList();
    for (KaPoint* p = list.First(); p; p = p->Next())
        p->ClearFlag(PointFlagGuiCheckActive);
    list.NotifyChanged(nullptr, nullptr);
}
