// A long sequence of list operations, each checked against a model of what the user should see:
// the list, "PolyList", the current polygon and the panel stay in step after every one.
#include <random>
#include <string>
#include <vector>

#include "app/shell.h"
#include "panel/panel.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "tests/app/program_harness.h"

using scene::Polygon;

using harness::control;
using headless::click;
using headless::queueStep;

namespace {

struct Entry {
    std::string name;
    int size;
};

// What the user expects from each operation.
struct Model {
    std::vector<Entry> entries;
    int selected = -1;
    int counter = 1;

    void add() {
        entries.push_back({"Poly " + std::to_string(counter++), 100});
        selected = int(entries.size()) - 1;
    }
    void duplicate() {
        if (entries.empty())
            return;
        Entry copy = entries[selected];
        copy.name =
            ("Poly " + std::to_string(counter++) + " (Copy of " + copy.name + ")").substr(0, 255);
        entries.push_back(copy);
        selected = int(entries.size()) - 1;
    }
    void moveUp() {
        if (selected <= 0)
            return;
        std::swap(entries[selected - 1], entries[selected]);
        --selected;
    }
    void moveDown() {
        if (selected < 0 || selected + 1 >= int(entries.size()))
            return;
        std::swap(entries[selected], entries[selected + 1]);
        ++selected;
    }
    void remove() {
        if (entries.empty())
            return;
        entries.erase(entries.begin() + selected);
        if (selected == int(entries.size()))
            --selected; // the tail went: the new tail, or none
    }
    void removeAll() {
        entries.clear();
        selected = -1;
    }
};

void expectMatches(const Model& model, int step) {
    SCOPED_TRACE("after step " + std::to_string(step));
    std::vector<std::string> names;
    for (const Entry& entry : model.entries)
        names.push_back(entry.name);
    EXPECT_EQ(headless::items(polygonListBox), names);
    EXPECT_EQ(headless::selection(polygonListBox), model.selected);

    std::vector<std::string> linked;
    const Polygon* atSelection = nullptr;
    for (const Polygon* polygon = polygonListHead; polygon; polygon = polygon->next) {
        if (int(linked.size()) == model.selected)
            atSelection = polygon;
        linked.push_back(polygon->name);
    }
    EXPECT_EQ(linked, names);
    ASSERT_EQ(currentPolygon, atSelection);
    EXPECT_EQ(polygonCounter, model.counter);

    int size = currentPolygon ? model.entries[model.selected].size : 0;
    if (currentPolygon) {
        EXPECT_EQ(currentPolygon->size, size);
    }
    EXPECT_EQ(headless::trackbar(sizeSlider).pos, currentPolygon ? size : 1);
    EXPECT_EQ(headless::windowText(sizeField), std::to_string(size) + "px");
}

TEST(ListSequenceTest, EveryOperationKeepsListEntriesAndCurrentPolygonInStep) {
    harness::FreshRun run;
    Model model;
    std::mt19937 random(5);
    const int steps = 300;
    for (int step = 0; step < steps; ++step) {
        int action = int(random() % 10);
        int choice = int(random() % 64);
        queueStep([&model, action, choice] {
            int count = int(model.entries.size());
            switch (action) {
            case 0:
            case 1:
                click(control(idAdd));
                model.add();
                break;
            case 2:
                click(control(idDuplicate)); // an empty list says so and changes nothing
                model.duplicate();
                break;
            case 3:
                headless::pressKey(nullptr, VK_PRIOR);
                model.moveUp();
                break;
            case 4:
                headless::pressKey(nullptr, VK_NEXT);
                model.moveDown();
                break;
            case 5:
                headless::pressKey(nullptr, VK_DELETE);
                model.remove();
                break;
            case 6: {
                bool confirm = choice % 4 == 0;
                headless::queueMessageBoxAnswer(confirm ? IDOK : IDCANCEL);
                click(control(idRemoveAll));
                if (confirm)
                    model.removeAll();
                break;
            }
            case 7:
            case 8:
                if (count > 0) {
                    model.selected = choice % count;
                    headless::pickListItem(polygonListBox, model.selected);
                }
                break;
            case 9:
                if (count > 0) {
                    int size = 1 + choice % 20;
                    harness::setTrackbarByKeys(sizeSlider, size);
                    model.entries[model.selected].size = size;
                }
                break;
            }
        });
        queueStep([&model, step] { expectMatches(model, step); });
    }
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

} // namespace
