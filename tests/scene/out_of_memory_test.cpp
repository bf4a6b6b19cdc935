// Add and Duplicate when no Polygon record can be had: the scene and the counter stay as they
// were, and the user is told.
#include <new>

#include "platform/winapi.h"

#include <GL/gl.h>

#include "app/shell.h"
#include "panel/panel.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "tests/app/program_harness.h"
#include "texture/image_buffer.h"

using scene::Polygon;

namespace {
bool refusePolygons = false;      // while set, no Polygon record can be allocated
size_t refusedArrayBytes = 0;     // while set, no array of this many bytes can be allocated
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

void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept {
    if (refusedArrayBytes != 0 && bytes == refusedArrayBytes)
        return nullptr;
    try {
        return ::operator new[](bytes);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void operator delete[](void* block, const std::nothrow_t&) noexcept {
    ::operator delete[](block);
}

namespace {

using harness::control;
using headless::click;
using headless::queueStep;

class OutOfMemoryTest : public harness::ProgramTest {
  protected:
    void TearDown() override {
        refusePolygons = false;
        refusedArrayBytes = 0;
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

// No room for the copy of the picture's pixels, of its file, or of the texture's picture read
// back: each time the duplicate is given up whole, and the source keeps what it owns.
TEST_F(OutOfMemoryTest, DuplicateWithoutRoomForThePictureCopyChangesNothing) {
    long live = 0;
    queueStep([] { click(control(idAdd)); });
    queueStep([] {
        const uint8_t texels[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
        Image& image = currentPolygon->image;
        image.width = image.height = 2;
        image.bitsPerPixel = 24;
        image.pixels = allocBuffer(sizeof texels);
        image.fileSize = 4;
        image.fileData = allocBuffer(image.fileSize);
        glGenTextures(1, &currentPolygon->texture);
        glBindTexture(GL_TEXTURE_2D, currentPolygon->texture);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, 3, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    });
    for (long failing : {0, 1, 2}) { // the pixels' copy, the file's, the texture read back
        queueStep([&live, failing] {
            live = liveBufferCount();
            setAllocationFailureCountdown(failing < 2 ? failing : -1);
            refusedArrayBytes = failing == 2 ? 2 * 2 * 4 : 0; // the picture read back as RGBA
            click(control(idDuplicate));
        });
        queueStep([&live] {
            setAllocationFailureCountdown(-1);
            refusedArrayBytes = 0;
            EXPECT_EQ(headless::items(polygonListBox), (std::vector<std::string>{"Poly 1"}));
            EXPECT_EQ(polygonListHead->next, nullptr);
            EXPECT_EQ(liveBufferCount(), live);
            EXPECT_TRUE(glIsTexture(currentPolygon->texture));
        });
    }
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
    ASSERT_EQ(headless::messageBoxCalls().size(), 3u);
    for (const auto& call : headless::messageBoxCalls())
        EXPECT_EQ(call.text, "Not enough memory for another polygon");
}

} // namespace
