#include "project/KaVirtualProject.h"

KaVirtualProject::KaVirtualProject(KaProject* project) : m_project(project) {}

KaVirtualProject::KaVirtualProject(KaVirtualProject const& other)
    : m_project(other.m_project), m_fallback(other.m_fallback) {}

KaVirtualProject& KaVirtualProject::operator=(KaVirtualProject const& other) {
    if (this != &other) {
        m_project = other.m_project;
        m_fallback = other.m_fallback;
    }
    return *this;
}

KaVirtualProject::~KaVirtualProject() = default;

void KaVirtualProject::NotifyProjectWillChange() {}

void KaVirtualProject::NotifyProjectHasChanged() {}

KaProject* KaVirtualProject::SetProject(KaProject* project) {
    if (project == m_project)
        return m_project;
    NotifyProjectWillChange();
    m_project = project;
    NotifyProjectHasChanged();
    return m_project;
}

void KaVirtualProject::DeleteProject() {
    NotifyProjectWillChange();
    KaProject* const project = m_project;
    // Cleared first, so that nothing reached from the destructor finds a dangling project.
    m_project = nullptr;
    delete project;
    NotifyProjectHasChanged();
}
