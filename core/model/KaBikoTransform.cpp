#include "model/KaBikoTransform.h"

#include "model/KaPhoto.h"
#include "model/KaPoint.h"

namespace {

KaMatrix Homogeneous(KaTrafo2d const& trafo) {
    KaMatrix m(3, 3);
    trafo.BuildMatrix(&m);
    return m;
}

KaMatrix Inverse(KaMatrix m) {
    int err = 0;
    m.Invert(&err);
    return m;
}

} // namespace

KaBikoTransform::KaBikoTransform(KaPhoto const* photo, eConvertBikoMode mode) : m_photo(photo), m_mode(mode) {
    m_trafo.SetIdent();
    if (!photo)
        return;

    KaMatrix const pre = Homogeneous(photo->GetReseauPreTrafo());
    if (photo->GetReseauMainTrafo().GetType() != KaTrafo2DPolynomial) {
        KaMatrix const main = Homogeneous(photo->GetReseauMainTrafo());
        switch (mode) {
        case CB_PIXEL_TO_PRE:
            m_trafo = pre;
            break;
        case CB_PIXEL_TO_BIKO:
        case CB_PIXEL_TO_ADJUSTED:
            m_trafo = main * pre;
            break;
        case CB_PRE_TO_BIKO:
            m_trafo = main;
            break;
        case CB_BIKO_TO_PIXEL:
        case CB_ADJUSTED_TO_PIXEL:
        case CB_RESERVED_13:
            m_trafo = Inverse(main * pre);
            break;
        case CB_PRE_TO_PIXEL:
            m_trafo = Inverse(pre);
            break;
        case CB_BIKO_TO_PRE:
            m_trafo = Inverse(main);
            break;
        default:
            break;
        }
        return;
    }

    m_isPolyTrafo = true;
    m_mainTrafo = photo->GetReseauMainTrafo();
    m_polyInvTrafo = photo->GetReseauPolyInv();
    switch (mode) {
    case CB_PIXEL_TO_PRE:
    case CB_PIXEL_TO_BIKO:
    case CB_PIXEL_TO_ADJUSTED:
        m_trafo = pre;
        break;
    case CB_BIKO_TO_PIXEL:
    case CB_PRE_TO_PIXEL:
    case CB_ADJUSTED_TO_PIXEL:
    case CB_RESERVED_13:
        m_trafo = Inverse(pre);
        break;
    default:
        break;
    }
}

KaBikoTransform::~KaBikoTransform() = default;

void KaBikoTransform::Adjust(double* x, double* y) const {
    if (m_photo)
        m_photo->GetCamera().Adjust(x, y);
}

void KaBikoTransform::InvAdjust(double* x, double* y) const {
    if (m_photo)
        m_photo->GetCamera().InvAdjust(x, y);
}

void KaBikoTransform::Transform(double* x, double* y, double* /*z*/) const {
    if (!x || !y)
        return;
    switch (m_mode) {
    case CB_PIXEL_TO_PRE:
    case CB_PRE_TO_PIXEL:
        m_trafo.PTrans2D(x, y);
        break;
    case CB_PIXEL_TO_BIKO:
        m_trafo.PTrans2D(x, y);
        if (m_isPolyTrafo)
            m_mainTrafo.Transform(x, y);
        break;
    case CB_PRE_TO_BIKO:
        if (m_isPolyTrafo)
            m_mainTrafo.Transform(x, y);
        else
            m_trafo.PTrans2D(x, y);
        break;
    case CB_PIXEL_TO_ADJUSTED:
        m_trafo.PTrans2D(x, y);
        if (m_isPolyTrafo)
            m_mainTrafo.Transform(x, y);
        Adjust(x, y);
        break;
    case CB_BIKO_TO_ADJUSTED:
        Adjust(x, y);
        break;
    case CB_BIKO_TO_PIXEL:
        if (m_isPolyTrafo)
            m_polyInvTrafo.Transform(x, y);
        m_trafo.PTrans2D(x, y);
        break;
    case CB_BIKO_TO_PRE:
        if (m_isPolyTrafo)
            m_polyInvTrafo.Transform(x, y);
        else
            m_trafo.PTrans2D(x, y);
        break;
    case CB_ADJUSTED_TO_BIKO:
        InvAdjust(x, y);
        break;
    case CB_ADJUSTED_TO_PIXEL:
        InvAdjust(x, y);
        if (m_isPolyTrafo)
            m_polyInvTrafo.Transform(x, y);
        m_trafo.PTrans2D(x, y);
        break;
    default:
        break;
    }
}

void KaBikoTransform::Transform(KaPoint* p) const {
    if (p)
        Transform(&p->x, &p->y, &p->z);
}
