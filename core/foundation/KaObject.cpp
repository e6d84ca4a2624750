#include "foundation/KaObject.h"

KaObject::~KaObject() = default;

int KaObject::Compare(KaObject const* other) const {
    return Compare(other->GetId());
}

int KaObject::Compare(unsigned int id) const {
    if (m_id < id)
        return 1;
    if (m_id > id)
        return -1;
    return 0;
}

KaBaseListnode::~KaBaseListnode() = default;

int KaBaseListnode::Compare(KaBaseListnode const*) const {
    return 1;
}

KaListnode::~KaListnode() = default;

int KaListnode::Compare(KaListnode const* other) const {
    return KaObject::Compare(other->GetId());
}
