#pragma once

#include "TarvisExport.h"
#include "foundation/KaListHeader.h"
#include "foundation/KaObject.h"
#include "foundation/String.h"

class KaPhoto;

// A named element attached to a photo. It knows the photo it belongs to (not
// owned; none while detached) and is told when it is attached and detached, so
// that derived attributes can react.
class TARVIS_API KaAttribute : public KaListnode {
public:
    explicit KaAttribute(String const& name);
    // Copies identifier and name; the copy starts detached.
    KaAttribute(KaAttribute const& other);
    // Copies identifier and name; the photo stays.
    virtual KaAttribute& operator=(KaAttribute const& other);
    ~KaAttribute() override;

    // Called after the photo is set, when the attribute is attached. Returns 1.
    virtual int OnAdd();
    // Called before the photo is cleared, when the attribute is detached. Returns 1.
    virtual int OnSubtract();

    KaPhoto* GetPhoto() const { return m_photo; }

    KaAttribute* Next() const { return static_cast<KaAttribute*>(KaListnode::Next()); }
    KaAttribute* Previous() const { return static_cast<KaAttribute*>(KaListnode::Previous()); }

protected:
    void SetPhoto(KaPhoto* photo) { m_photo = photo; }

private:
    friend class KaPhoto;
    friend class KaAttributeList;

    KaPhoto* m_photo = nullptr;
};

// The attributes of a photo; owns them.
class TARVIS_API KaAttributeList : public TKaListHeader<KaAttribute> {
public:
    KaAttributeList() = default;
    KaAttributeList(KaAttributeList const& other) = default;
    using TKaListHeader<KaAttribute>::operator=;
    KaAttributeList& operator=(KaAttributeList const& other);
    ~KaAttributeList() override;

    using TKaListHeader<KaAttribute>::Subtract;
    // Tells the attribute it is detached, clears its photo and unlinks it; the
    // caller owns it then. Null, also for an attribute that is not in this list.
    KaAttribute* Subtract(KaAttribute* attribute) override;
};
