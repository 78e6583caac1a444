#include "master/open_surface.h"

#include <gtest/gtest.h>

#include <vector>

#include "module/registry.h"

namespace orvik {
namespace {

// Stand-ins for surface instances; the master only passes their pointers around.
struct FakeSurface {
    FakeSurface* next = nullptr;
    bool attached = false;
};
SurfaceInstance* asSurface(FakeSurface* f) { return reinterpret_cast<SurfaceInstance*>(f); }
FakeSurface* asFake(SurfaceInstance* s) { return reinterpret_cast<FakeSurface*>(s); }

std::vector<FakeSurface*> gOpened;

class OpenSurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        gOpened.clear();
        a.next = &b;
        b.next = &c;
        SurfaceAccess access;
        access.next = [](SurfaceInstance* s) { return asSurface(asFake(s)->next); };
        access.attached = [](SurfaceInstance* s) { return asFake(s)->attached; };
        access.openPanel = [](SurfaceInstance* s) { gOpened.push_back(asFake(s)); };
        setSurfaceAccess(access);
        saved = registry().surfaces.exchange(asSurface(&a));
        setNextSurfaceToOpen(nullptr);
    }
    void TearDown() override {
        registry().surfaces.store(saved);
        setNextSurfaceToOpen(nullptr);
        setSurfaceAccess(SurfaceAccess{});
    }
    FakeSurface a, b, c;
    SurfaceInstance* saved = nullptr;
};

TEST_F(OpenSurfaceTest, FirstAttachedSurfaceWithoutAChoice) {
    b.attached = c.attached = true;
    EXPECT_EQ(openChosenSurface(), asSurface(&b));
    ASSERT_EQ(gOpened.size(), 1u);
    EXPECT_EQ(gOpened[0], &b);
    EXPECT_EQ(nextSurfaceToOpen(), asSurface(&b));
}

TEST_F(OpenSurfaceTest, ChosenSurfaceWinsUntilItIsForgotten) {
    c.attached = true;
    setNextSurfaceToOpen(asSurface(&a));
    EXPECT_EQ(openChosenSurface(), asSurface(&a));
    forgetSurfaceToOpen(asSurface(&b));  // another instance going leaves the choice alone
    EXPECT_EQ(nextSurfaceToOpen(), asSurface(&a));
    forgetSurfaceToOpen(asSurface(&a));
    EXPECT_EQ(openChosenSurface(), asSurface(&c));
}

TEST_F(OpenSurfaceTest, NothingAttachedOpensNothingAndLeavesNoChoice) {
    EXPECT_EQ(openChosenSurface(), nullptr);
    EXPECT_TRUE(gOpened.empty());
    EXPECT_EQ(nextSurfaceToOpen(), nullptr);
}

}  // namespace
}  // namespace orvik
