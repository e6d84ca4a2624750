#include "project/KaVirtualProject.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records the notifications with the project current at the time.
class Watcher : public KaVirtualProject {
public:
    using KaVirtualProject::KaVirtualProject;
    void NotifyProjectWillChange() override { log.push_back(std::string("will:") + Name()); }
    void NotifyProjectHasChanged() override { log.push_back(std::string("has:") + Name()); }
    std::string Name() const { return GetProject() ? GetProject()->GetProjectFilename().chars() : "-"; }
    std::vector<std::string> log;
};

// Counts its destruction.
class CountedProject : public KaProject {
public:
    explicit CountedProject(int* destroyed) : m_destroyed(destroyed) {}
    ~CountedProject() override { ++*m_destroyed; }

private:
    int* m_destroyed;
};

} // namespace

TEST(KaVirtualProject, NotifiesOnlyWhenTheProjectChanges) {
    KaProject a, b;
    a.SetProjectFilename("a.pro");
    b.SetProjectFilename("b.pro");
    Watcher watcher(&a);
    EXPECT_TRUE(watcher.IsProjectValid());
    EXPECT_EQ(watcher.SetProject(&a), &a);
    EXPECT_TRUE(watcher.log.empty());

    EXPECT_EQ(watcher.SetProject(&b), &b);
    EXPECT_EQ(watcher.log, (std::vector<std::string>{"will:a.pro", "has:b.pro"}));
    watcher.SetProject(nullptr);
    EXPECT_FALSE(watcher.IsProjectValid());
    EXPECT_EQ(a.GetProjectFilename(), "a.pro"); // neither was destroyed
    EXPECT_EQ(b.GetProjectFilename(), "b.pro");
}

TEST(KaVirtualProject, DeleteProjectDestroysTheCurrentOneAndAlwaysNotifies) {
    int destroyed = 0;
    Watcher watcher;
    watcher.DeleteProject();
    EXPECT_EQ(watcher.log, (std::vector<std::string>{"will:-", "has:-"}));
    EXPECT_EQ(watcher.GetProjectFilename(), "Tarvis.pro"); // the fallback is untouched

    auto* project = new CountedProject(&destroyed);
    project->SetProjectFilename("doomed.pro");
    watcher.SetProject(project);
    watcher.log.clear();
    watcher.DeleteProject();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(watcher.GetProject(), nullptr);
    EXPECT_EQ(watcher.log, (std::vector<std::string>{"will:doomed.pro", "has:-"}));
}

TEST(KaVirtualProject, ForwardsToTheCurrentProjectOrTheFallback) {
    KaVirtualProject handle;
    EXPECT_FALSE(handle.IsDirty());
    handle.AddPhoto(KaPhoto(1, "fallback.tif"));
    EXPECT_TRUE(handle.IsDirty()); // the fallback's flag
    ASSERT_NE(handle.FindPhoto(1), nullptr);

    KaProject project;
    handle.SetProject(&project);
    EXPECT_FALSE(handle.IsDirty());
    EXPECT_EQ(handle.FindPhoto(1), nullptr); // nothing moves over
    handle.AddPhoto(KaPhoto(2, "current.tif"));
    handle.AddOrthoPhoto(KaOrthoPhoto(5));
    EXPECT_EQ(project.GetPhotoList().Count(), 1);
    EXPECT_EQ(handle.FirstOrthoPhoto(), project.FirstOrthoPhoto());
    handle.DeletePhoto(2u);
    EXPECT_EQ(project.FirstRecyclePhoto()->GetId(), 2u);
    EXPECT_TRUE(handle.RestoreRecyclePhoto(2));
    EXPECT_EQ(handle.LastPhoto()->GetName(), "current.tif");
    handle.SetProjectFilename("current.pro");
    EXPECT_EQ(project.GetProjectFilename(), "current.pro");

    // Copies share the current project and copy the fallback.
    KaVirtualProject copy(handle);
    EXPECT_EQ(copy.GetProject(), &project);
    copy.SetProject(nullptr);
    handle.SetProject(nullptr);
    ASSERT_NE(copy.FindPhoto(1), nullptr);
    EXPECT_NE(copy.FindPhoto(1), handle.FindPhoto(1));
}
