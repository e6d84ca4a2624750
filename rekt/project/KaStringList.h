#pragma once

#include "TarvisRektExport.h"
#include "foundation/KaListHeader.h"
#include "foundation/KaObject.h"
#include "foundation/String.h"

class KaReaderObject;

// A list of texts, each the name of one node; owns its nodes.
class TARVISREKT_API KaStringList : public TKaListHeader<KaListnode> {
public:
    KaStringList() = default;
    KaStringList(KaStringList const& other) = default;
    using TKaListHeader<KaListnode>::operator=;
    KaStringList& operator=(KaStringList const& other);
    ~KaStringList() override;

    // Appends a node named text (identifier 0), also when the text is there
    // already; returns it.
    KaListnode* AddStr(String const& text);
    // A reader handler for an entry without braces: the current token must be a
    // quoted string (the parser status is thrown otherwise, and nothing is
    // appended). The token stays current. Returns the new node.
    KaListnode* AddString(KaReaderObject* object);
};
