#include "foundation/KaFilter.h"

namespace {

std::unique_ptr<KaFilter const> CloneOf(std::unique_ptr<KaFilter const> const& filter) {
    return std::unique_ptr<KaFilter const>(filter ? filter->Clone() : nullptr);
}

unsigned int TestOf(std::unique_ptr<KaFilter const> const& filter, KaObject const* object) {
    return filter ? filter->Test(object) : 0;
}

} // namespace

KaFilter::~KaFilter() = default;

KaTrueFilter::~KaTrueFilter() = default;
unsigned int KaTrueFilter::Test(KaObject const*) const {
    return 1;
}
KaFilter* KaTrueFilter::Clone() const {
    return new KaTrueFilter(*this);
}

KaFalseFilter::~KaFalseFilter() = default;
unsigned int KaFalseFilter::Test(KaObject const*) const {
    return 0;
}
KaFilter* KaFalseFilter::Clone() const {
    return new KaFalseFilter(*this);
}

KaTestFilter::~KaTestFilter() = default;
unsigned int KaTestFilter::Test(KaObject const* object) const {
    return m_predicate ? m_predicate(object) : 0;
}
KaFilter* KaTestFilter::Clone() const {
    return new KaTestFilter(*this);
}

KaNotFilter::KaNotFilter(KaNotFilter const& other) : KaFilter(other), m_operand(CloneOf(other.m_operand)) {}

KaNotFilter& KaNotFilter::operator=(KaNotFilter const& other) {
    if (&other != this)
        m_operand = CloneOf(other.m_operand);
    return *this;
}

KaNotFilter::~KaNotFilter() = default;
unsigned int KaNotFilter::Test(KaObject const* object) const {
    return TestOf(m_operand, object) == 0 ? 1 : 0;
}
KaFilter* KaNotFilter::Clone() const {
    return new KaNotFilter(*this);
}

KaBinaryFilter::KaBinaryFilter(KaBinaryFilter const& other)
    : KaFilter(other), m_first(CloneOf(other.m_first)), m_second(CloneOf(other.m_second)) {}

KaBinaryFilter& KaBinaryFilter::operator=(KaBinaryFilter const& other) {
    if (&other != this) {
        m_first = CloneOf(other.m_first);
        m_second = CloneOf(other.m_second);
    }
    return *this;
}

KaBinaryFilter::~KaBinaryFilter() = default;
unsigned int KaBinaryFilter::TestFirst(KaObject const* object) const {
    return TestOf(m_first, object);
}
unsigned int KaBinaryFilter::TestSecond(KaObject const* object) const {
    return TestOf(m_second, object);
}

KaAndFilter::~KaAndFilter() = default;
unsigned int KaAndFilter::Test(KaObject const* object) const {
    if (TestFirst(object) == 0)
        return 0;
    return TestSecond(object) != 0 ? 1 : 0;
}
KaFilter* KaAndFilter::Clone() const {
    return new KaAndFilter(*this);
}

KaOrFilter::~KaOrFilter() = default;
unsigned int KaOrFilter::Test(KaObject const* object) const {
    if (TestFirst(object) != 0)
        return 1;
    return TestSecond(object) != 0 ? 1 : 0;
}
KaFilter* KaOrFilter::Clone() const {
    return new KaOrFilter(*this);
}
