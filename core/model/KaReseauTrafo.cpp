#include "model/KaReseauTrafo.h"

#include "textio/KaReader.h"

KaReseauTrafo::KaReseauTrafo(KaTrafo2d const& trafo) : KaTrafo2d(trafo) {}

KaReseauTrafo& KaReseauTrafo::operator=(KaReseauTrafo const& other) {
    if (this != &other) {
        KaTrafo2d::operator=(other);
        SetId(other.GetId());
    }
    return *this;
}

KaReseauTrafo::~KaReseauTrafo() = default;

int KaReseauTrafo::Read(KaReaderObject* object) {
    return KaTrafo2d::Read(object);
}

int KaReseauTrafo::ReadV50(KaReaderObject* object) {
    KaTrafo2d::ReadV50(object);
    KaStreamParser in = object->GetStreamParser();
    SetName(String(in.GetText()));
    return 1;
}

void KaReseauTrafo::Write(std::ostream& os) const {
    KaTrafo2d::Write(os);
}
