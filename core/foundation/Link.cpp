#include "foundation/Link.h"

Link::~Link() = default;

long Link::Call(void* arg) const {
    if (!IsSet())
        return 0;
    return m_invoke(m_object, m_function, arg);
}

bool Link::operator==(Link const& other) const {
    // The buffer is zero-filled beyond the pointer, so equal bindings have equal bytes.
    return m_object == other.m_object && (m_invoke == nullptr) == (other.m_invoke == nullptr) &&
           std::memcmp(m_function, other.m_function, sizeof(m_function)) == 0;
}
