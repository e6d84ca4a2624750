#include "measure/KaVorwartsschnitt.h"

#include "model/KaPhoto.h"
#include "project/KaProject.h"

#include <algorithm>

KaVorwartsschnitt::KaVorwartsschnitt() : m_vector(3) {}

KaVorwartsschnitt::KaVorwartsschnitt(KaProject* project) : KaVirtualProject(project), m_vector(3) {}

KaVorwartsschnitt::KaVorwartsschnitt(KaVorwartsschnitt const& other)
    : KaVirtualProject(other), m_destroyPoints(other.m_destroyPoints), m_status(other.m_status),
      m_sigma(other.m_sigma), m_position(other.m_position), m_vector(other.m_vector),
      m_points(other.m_points) {
    std::copy(std::begin(other.m_work), std::end(other.m_work), m_work);
    std::copy(std::begin(other.m_further), std::end(other.m_further), m_further);
}

KaVorwartsschnitt& KaVorwartsschnitt::operator=(KaVorwartsschnitt const& other) {
    if (this == &other)
        return *this;
    KaVirtualProject::operator=(other);
    std::copy(std::begin(other.m_work), std::end(other.m_work), m_work);
    m_destroyPoints = other.m_destroyPoints;
    m_status = other.m_status;
    std::copy(std::begin(other.m_further), std::end(other.m_further), m_further);
    m_sigma = other.m_sigma;
    m_position = other.m_position;
    m_vector = other.m_vector;
    m_points = other.m_points;
    return *this;
}

KaVorwartsschnitt::~KaVorwartsschnitt() = default;

void KaVorwartsschnitt::Init() {
    std::fill(std::begin(m_work), std::end(m_work), 0);
    std::fill(std::begin(m_further), std::end(m_further), 0);
    m_destroyPoints = true;
    m_status = 0;
}

int KaVorwartsschnitt::DeleteMeasurements(unsigned int number) {
    int count = 0;
    for (KaPhoto* photo = FirstPhoto(); photo; photo = photo->Next()) {
        while (KaPoint* point = photo->SubtractMeasure(number)) {
            delete point;
            ++count;
        }
    }
    m_points.Destroy();
    return count;
}

bool KaVorwartsschnitt::DeleteMeasurement(unsigned int photoId, unsigned int number) {
    KaPhoto* photo = FindPhoto(photoId);
    if (!photo)
        return false;
    KaPoint* point = photo->SubtractMeasure(number);
    if (!point)
        return false;
    delete point;
    // Find with photo number 0 would take any photo's entry.
    for (KaPoint* entry = m_points.First(); entry; entry = entry->Next()) {
        if (entry->GetId() == number && static_cast<unsigned int>(entry->photoId) == photoId) {
            delete m_points.Subtract(entry);
            break;
        }
    }
    return true;
}

int KaVorwartsschnitt::CollectMeasurements(unsigned int number) {
    m_points.Destroy();
    int count = 0;
    for (KaPhoto* photo = FirstPhoto(); photo; photo = photo->Next()) {
        if (KaPoint const* measure = photo->FindMeasure(number)) {
            KaPoint* copy = m_points.Add(*measure);
            copy->photoId = static_cast<int>(photo->GetId());
            ++count;
        }
    }
    return count;
}

bool KaVorwartsschnitt::CalcVWS(unsigned int, bool) {
    return false;
}

bool KaVorwartsschnitt::CalcVWS2Pic(KaPoint*, KaPoint*, KaPhoto*, KaPhoto*) {
    return false;
}

bool KaVorwartsschnitt::CalcVWS2Pic(KaVector&, double, KaVector&, double, KaMatrix const&, KaMatrix const&,
                                    KaVector const&, KaVector const&) {
    return false;
}
