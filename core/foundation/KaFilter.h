#pragma once

#include "TarvisExport.h"
#include "foundation/KaObject.h"

#include <memory>

// A predicate over objects: Test answers nonzero when the object is selected.
// Filters that take operands own them; copies are deep (through Clone).
class TARVIS_API KaFilter {
public:
    virtual ~KaFilter();
    virtual unsigned int Test(KaObject const* object) const = 0;
    // A new copy of this filter and its operands; the caller owns it.
    virtual KaFilter* Clone() const = 0;

protected:
    KaFilter() = default;
    KaFilter(KaFilter const&) = default;
    KaFilter& operator=(KaFilter const&) = default;
};

class TARVIS_API KaTrueFilter : public KaFilter {
public:
    KaTrueFilter() = default;
    KaTrueFilter(KaTrueFilter const&) = default;
    KaTrueFilter& operator=(KaTrueFilter const&) = default;
    ~KaTrueFilter() override;
    unsigned int Test(KaObject const* object) const override;
    KaFilter* Clone() const override;
};

class TARVIS_API KaFalseFilter : public KaFilter {
public:
    KaFalseFilter() = default;
    KaFalseFilter(KaFalseFilter const&) = default;
    KaFalseFilter& operator=(KaFalseFilter const&) = default;
    ~KaFalseFilter() override;
    unsigned int Test(KaObject const* object) const override;
    KaFilter* Clone() const override;
};

// Answers with a predicate function; a filter without one selects nothing.
class TARVIS_API KaTestFilter : public KaFilter {
public:
    using Predicate = unsigned int (*)(KaObject const*);

    explicit KaTestFilter(Predicate predicate) : m_predicate(predicate) {}
    KaTestFilter(KaTestFilter const&) = default;
    KaTestFilter& operator=(KaTestFilter const&) = default;
    ~KaTestFilter() override;
    unsigned int Test(KaObject const* object) const override;
    KaFilter* Clone() const override;

private:
    Predicate m_predicate;
};

// 1 when the operand answers 0. Takes ownership of the operand; a missing
// operand answers 0.
class TARVIS_API KaNotFilter : public KaFilter {
public:
    explicit KaNotFilter(KaFilter const* operand) : m_operand(operand) {}
    KaNotFilter(KaNotFilter const& other);
    KaNotFilter& operator=(KaNotFilter const& other);
    ~KaNotFilter() override;
    unsigned int Test(KaObject const* object) const override;
    KaFilter* Clone() const override;

private:
    std::unique_ptr<KaFilter const> m_operand;
};

// Two owned operands; a missing operand answers 0.
class TARVIS_API KaBinaryFilter : public KaFilter {
public:
    ~KaBinaryFilter() override;

protected:
    KaBinaryFilter(KaFilter const* first, KaFilter const* second) : m_first(first), m_second(second) {}
    KaBinaryFilter(KaBinaryFilter const& other);
    KaBinaryFilter& operator=(KaBinaryFilter const& other);

    unsigned int TestFirst(KaObject const* object) const;
    unsigned int TestSecond(KaObject const* object) const;

private:
    std::unique_ptr<KaFilter const> m_first;
    std::unique_ptr<KaFilter const> m_second;
};

// The second operand is asked only when the first one selects.
class TARVIS_API KaAndFilter : public KaBinaryFilter {
public:
    KaAndFilter(KaFilter const* first, KaFilter const* second) : KaBinaryFilter(first, second) {}
    KaAndFilter(KaAndFilter const&) = default;
    KaAndFilter& operator=(KaAndFilter const&) = default;
    ~KaAndFilter() override;
    unsigned int Test(KaObject const* object) const override;
    KaFilter* Clone() const override;
};

// The second operand is asked only when the first one does not select.
class TARVIS_API KaOrFilter : public KaBinaryFilter {
public:
    KaOrFilter(KaFilter const* first, KaFilter const* second) : KaBinaryFilter(first, second) {}
    KaOrFilter(KaOrFilter const&) = default;
    KaOrFilter& operator=(KaOrFilter const&) = default;
    ~KaOrFilter() override;
    unsigned int Test(KaObject const* object) const override;
    KaFilter* Clone() const override;
};
