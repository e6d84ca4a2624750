#include "project/KaStringList.h"

#include "textio/KaReader.h"

#include <memory>

KaStringList& KaStringList::operator=(KaStringList const& other) {
    TKaListHeader<KaListnode>::operator=(other);
    return *this;
}

KaStringList::~KaStringList() = default;

KaListnode* KaStringList::AddStr(String const& text) {
    return Add(new KaListnode(0u, text));
}

KaListnode* KaStringList::AddString(KaReaderObject* object) {
    if (!object)
        return nullptr;
    // Throws the parser status for anything but a quoted string, before a node exists.
    String const text(object->GetParser().GetToken(TokenString).GetText());
    return AddStr(text);
}
