#pragma once

#include "TarvisRektExport.h"

class KaMeasure;
class KaPhoto;
class KaPoint;
class KaRektTrafo;

// Cuts a rectification transform to the part of the image it should cover:
// measures, inserts, moves and deletes the vertices of the transform's valid
// region through the measurement controller, on which it keeps a control in the
// mode "definition of region bounds" (8) while a controller is attached.
//
// Photo, transform and controller are not owned. Not copyable: the pushed
// control belongs to exactly one helper.
class TARVISREKT_API KaRektCutHelper {
public:
    // Attaches to the controller (see SetMeasure) when one is given.
    explicit KaRektCutHelper(KaMeasure* measure = nullptr);
    KaRektCutHelper(KaRektCutHelper const&) = delete;
    KaRektCutHelper& operator=(KaRektCutHelper const&) = delete;
    // Deselects all vertices and detaches from the controller.
    virtual ~KaRektCutHelper();

    // Front-end notifications; they do nothing here.
    virtual void NotifyPhotoSelected();
    virtual void NotifyPlaneSelected();
    virtual void NotifyLastMeasurement(KaPoint const& point);

    // Pops the control this helper pushed on the former controller; with a new
    // controller pushes a control in mode 8 bound to MeasureLink, shows the
    // rectification planes and enables the digitizers.
    void SetMeasure(KaMeasure* measure);
    KaMeasure* GetMeasure() const { return m_measure; }
    // photo := photo, transform := none; with bind the current control only
    // accepts positions on this photo.
    void SetPhoto(KaPhoto* photo, bool bind);
    KaPhoto* GetPhoto() const { return m_photo; }
    // Deselects the vertices of the current transform, then switches.
    void SetTrafo(KaRektTrafo* trafo);
    KaRektTrafo* GetTrafo() const { return m_trafo; }
    // The photo's first (first active) transform; null without photo.
    KaRektTrafo* GetFirstTrafo() const;
    KaRektTrafo* GetFirstActiveTrafo() const;
    // 1: a measured vertex is inserted; 0: it replaces the vertex of its number.
    void SetInsertMode(int mode) { m_insertMode = mode; }
    int IsInsertMode() const { return m_insertMode; }

    // Adds a copy of the transform with the first free number to the photo and
    // makes it current; returns it (null without photo or transform).
    KaRektTrafo* DuplicateTrafo();
    // Removes the current transform from the photo and deletes it; false when
    // there is none or it does not belong to the photo.
    bool DelPlane();
    // Deletes all vertices of the valid region.
    void RemoveBounds();
    // The valid region := the simple closed path through the transform's
    // measured points, numbered from 1.
    void MakeBoundsFromDef();
    // The valid region := a copy of that of the photo's transform rektId, which
    // must have one; false otherwise.
    bool CopyBoundsFromPlane(unsigned int rektId);
    // Marks vertex id (PointFlagGuiCheckActive) and unmarks all others.
    void SelPoint(unsigned int id);
    // Deletes vertex id, renumbers the region from 1 and selects id.
    void DelPoint(unsigned int id);

    // Called by the controller for every position measured in mode 8; returns 1.
    long MeasureLink(void* unused);

private:
    void DeselectAll();

    KaPhoto* m_photo = nullptr;
    KaRektTrafo* m_trafo = nullptr;
    KaMeasure* m_measure = nullptr;
    int m_insertMode = 1;
    bool m_pushed = false;
};
