// Add and Duplicate when no Polygon record can be had: the scene and the counter stay as they
// were, and the user is told.
#include <new>

#include "app/shell.h"
#include "panel/panel.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "tests/app/program_harness.h"

using scene::Polygon;

namespace {
bool refusePolygons = false; // while set, no Polygon record can be allocated
} // namespace

// The program asks for its records without exceptions; this executable answers those requests.
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
    if (refusePolygons && bytes == sizeof(Polygon))
        return nullptr;
    try {
        return ::operator new(bytes); // the pair every delete expects
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void operator delete(void* block, const std::nothrow_t&) noexcept {
    ::operator delete(block);
}

namespace {

using harness::control;
using headless::click;
using headless::queueStep;

class OutOfMemoryTest : public harness::ProgramTest {
  protected:
    void TearDown() override {
        refusePolygons = false;
        harness::ProgramTest::TearDown();
    }
};

TEST_F(OutOfMemoryTest, AddAndDuplicateChangeNothing) {
    Polygon* first = nullptr;
    queueStep([&] {
        click(control(idAdd));
        click(control(idAdd));
        headless::pickListItem(polygonListBox, 0);
    });
    queueStep([&] {
        first = currentPolygon;
        refusePolygons = true;
        headless::pressKey(nullptr, VK_INSERT);
        click(control(idDuplicate));
    });
    queueStep([&] {
        refusePolygons = false;
        EXPECT_EQ(headless::items(polygonListBox), (std::vector<std::string>{"Poly 1", "Poly 2"}));
        EXPECT_EQ(headless::selection(polygonListBox), 0);
        EXPECT_EQ(currentPolygon, first);
        EXPECT_EQ(polygonListHead, first);
        EXPECT_EQ(polygonCounter, 3);
        click(control(idAdd)); // the next one takes the number no failure used up
    });
    queueStep([] {
        EXPECT_EQ(headless::items(polygonListBox).back(), "Poly 3");
        EXPECT_EQ(headless::selection(polygonListBox), 2);
    });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
    ASSERT_EQ(headless::messageBoxCalls().size(), 2u);
    for (const auto& call : headless::messageBoxCalls()) {
        EXPECT_EQ(call.text, "Not enough memory for another polygon");
        EXPECT_EQ(call.caption, "Error");
        EXPECT_EQ(call.type, UINT(MB_OK));
        EXPECT_EQ(call.owner, mainWindow);
    }
}

} // namespace
