#include "model/KaAttribute.h"

KaAttribute::KaAttribute(String const& name) : KaListnode(name) {}

KaAttribute::KaAttribute(KaAttribute const& other) : KaListnode(other) {}

KaAttribute& KaAttribute::operator=(KaAttribute const& other) {
    if (this != &other)
        KaObject::operator=(other);
    return *this;
}

KaAttribute::~KaAttribute() = default;

int KaAttribute::OnAdd() {
    return 1;
}

int KaAttribute::OnSubtract() {
    return 1;
}

KaAttributeList& KaAttributeList::operator=(KaAttributeList const& other) {
    TKaListHeader<KaAttribute>::operator=(other);
    return *this;
}

KaAttributeList::~KaAttributeList() = default;

KaAttribute* KaAttributeList::Subtract(KaAttribute* attribute) {
    // An attribute of another list must not be told it is detached from this one.
    if (!attribute || !Exist(attribute))
        return nullptr;
    attribute->OnSubtract();
    attribute->SetPhoto(nullptr);
    return TKaListHeader<KaAttribute>::Subtract(attribute);
}
