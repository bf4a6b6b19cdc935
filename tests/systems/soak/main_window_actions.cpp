// The session's actions on the main window: commands by button, key and menu, the list, the
// panel's controls and the view frame, each with what the program must show after it.
#include "tests/systems/soak/random_session.h"

#include "panel/panel.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "tests/systems/soak/session_helpers.h"

using scene::Polygon;

namespace soak {

namespace {

constexpr int crowdedList = 12; // from this many polygons on, removing outweighs adding

} // namespace

void RandomSession::mainAction(bool captured) {
    const bool crowded = model_.order.size() >= size_t(crowdedList);
    // A key or a menu command; a button only while the mouse is free.
    auto via = [&](bool hasKey, bool hasMenu) {
        std::vector<Via> ways;
        if (!captured)
            ways.push_back(Via::Button);
        if (hasKey)
            ways.push_back(Via::Key);
        if (hasMenu)
            ways.push_back(Via::Menu);
        return ways[size_t(random_.below(int(ways.size())))];
    };
    std::vector<Choice> choices = {
        {crowded ? 2 : 7, "add", [&] { addPolygon(via(true, true)); }},
        {crowded ? 9 : 4, "remove", [&] { removePolygon(via(true, true)); }},
        {5, "move up/down", [&] { movePolygon(via(true, true), random_.percent(50)); }},
        {2, "rename", [&] { renamePolygon(via(true, true)); }},
        {4, "arrow key", [&] { arrowKey(); }},
        {4, "option", [&] { chooseOption(); }},
        {2, "2/3 key", [&] { modeKey(); }},
        {1, "open/save", [&] { fileNotImplemented(); }},
        {1, "about", [&] { openAbout(); }},
        {captured ? 14 : 4, "view move", [&] { viewMove(); }},
        {captured ? 8 : 3, "view button up", [&] { viewButtonUp(); }},
    };
    if (captured) {
        choices.push_back({crowded ? 1 : 3, "duplicate", [&] { duplicatePolygon(Via::Menu); }});
        choices.push_back({1, "remove all", [&] { removeAll(Via::Menu); }});
    } else {
        std::vector<Choice> clicks = {
            {crowded ? 1 : 5, "duplicate", [&] { duplicatePolygon(via(false, true)); }},
            {1, "remove all", [&] { removeAll(via(false, true)); }},
            {12, "modify", [&] { modifyTexture(); }},
            {3, "remove texture", [&] { removeTexture(); }},
            {8, "pick polygon", [&] { pickPolygon(); }},
            {8, "drag slider", [&] { dragSlider(); }},
            {2, "slider channel", [&] { clickSliderChannel(); }},
            {6, "pick combo", [&] { pickPanelCombo(); }},
            {4, "check box", [&] { clickCheckBox(); }},
            {2, "value field", [&] { clickValueField(); }},
            {1, "spare",
             [&] {
                 headless::click(headless::findWindow("Spare", "Button", mainWindow));
                 note("click Spare");
             }},
            {6, "view button down", [&] { viewButtonDown(); }},
            {2, "expose view",
             [&] {
                 headless::expose(viewFrame);
                 note("expose the view frame");
             }},
        };
        choices.insert(choices.end(), clicks.begin(), clicks.end());
    }
    choose(choices);
}

void RandomSession::command(Via via, int id, UINT key, const char* what) {
    switch (via) {
    case Via::Button:
        headless::click(mainControl(id));
        note(format("click %s", what));
        break;
    case Via::Key:
        if (headless::captureWindow()) { // a drag goes on: the key would be taken, unheard
            headless::chooseMenuItem(mainWindow, UINT(id));
            note(format("menu %s (the view holds the mouse)", what));
            break;
        }
        headless::pressKey(nullptr, key);
        note(format("key for %s", what));
        break;
    case Via::Menu:
        headless::chooseMenuItem(mainWindow, UINT(id));
        note(format("menu %s", what));
        break;
    }
}

void RandomSession::addPolygon(Via via) {
    command(via, idAdd, VK_INSERT, "Add");
    prediction_.order.push_back(nullptr);
    prediction_.made = PolygonExpectation{};
    prediction_.current = int(prediction_.order.size()) - 1;
}

void RandomSession::duplicatePolygon(Via via) {
    command(via, idDuplicate, 0, "Duplicate");
    if (prediction_.current < 0) {
        prediction_.boxes.push_back({"Nothing to duplicate", "Error"});
        return;
    }
    // The copy shows the same picture, from buffers and a texture of its own.
    prediction_.made = model_.expected.at(currentPolygon);
    prediction_.order.push_back(nullptr);
    prediction_.current = int(prediction_.order.size()) - 1;
}

void RandomSession::removePolygon(Via via) {
    command(via, idRemove, VK_DELETE, "Remove");
    std::vector<const Polygon*>& order = prediction_.order;
    const int count = int(order.size());
    const int selected = prediction_.current;
    if (count == 0 || selected < 0)
        return;
    order.erase(order.begin() + selected);
    // The successor takes the place; without one the new tail is current.
    prediction_.current = count == 1 ? -1 : selected < count - 1 ? selected : selected - 1;
}

void RandomSession::removeAll(Via via) {
    bool confirm = random_.percent(20);
    headless::queueMessageBoxAnswer(confirm ? IDOK : IDCANCEL);
    command(via, via == Via::Menu ? idFileNew : idRemoveAll, 0,
            confirm ? "Remove All, OK" : "Remove All, Cancel");
    prediction_.boxes.push_back({"Remove all polygons?", "Warning"});
    if (confirm) {
        prediction_.order.clear();
        prediction_.current = -1;
    }
}

void RandomSession::movePolygon(Via via, bool up) {
    command(via, up ? idMoveUp : idMoveDown, up ? VK_PRIOR : VK_NEXT, up ? "Move Up" : "Move Down");
    std::vector<const Polygon*>& order = prediction_.order;
    const int selected = prediction_.current;
    const int other = up ? selected - 1 : selected + 1;
    if (selected < 0 || other < 0 || other >= int(order.size()))
        return;
    std::swap(order[size_t(selected)], order[size_t(other)]);
    prediction_.current = other;
}

void RandomSession::renamePolygon(Via via) {
    command(via, idRename, VK_F2, "Rename");
    if (prediction_.current < 0)
        prediction_.boxes.push_back({"Nothing to rename", "Error"});
    else
        prediction_.dialog = renameDialogCaption;
}

void RandomSession::modifyTexture() {
    command(Via::Button, idModifyTexture, 0, "Modify");
    if (prediction_.current < 0)
        prediction_.boxes.push_back({"Nothing to apply a texture to", "Error"});
    else
        prediction_.dialog = textureDialogCaption;
}

void RandomSession::removeTexture() {
    command(Via::Button, idRemoveTexture, 0, "texture Remove");
    const Polygon* polygon = currentPolygon;
    if (!polygon || model_.expected.at(polygon).texture == TextureHolds::Nothing)
        return; // a picture loaded without a texture made from it stays
    prediction_.settle = [this, polygon] {
        PolygonExpectation& expected = model_.expected.at(polygon);
        expected.texture = TextureHolds::Nothing;
        expected.texturePicture = nullptr;
        expected.image = nullptr;
        expected.textureFile = "None";
        std::string field = headless::windowText(textureFileField);
        return field == "None" ? ""
                               : "after texture Remove the file name field shows '" + field + "'";
    };
}

void RandomSession::pickPolygon() {
    const int count = int(model_.order.size());
    if (count == 0) {
        headless::click(polygonListBox);
        note("click the empty \"PolyList\"");
        return;
    }
    int index = random_.below(count);
    headless::pickListItem(polygonListBox, index);
    note(format("pick entry %d of %d in \"PolyList\"", index, count));
    prediction_.current = index;
}

void RandomSession::arrowKey() {
    static const UINT keys[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_HOME, VK_END};
    static const char* const names[] = {"Up", "Down", "Left", "Right", "Home", "End"};
    int which = random_.below(6);
    HWND focus = headless::focusWindow();
    headless::pressKey(nullptr, keys[which]);
    note(format("key %s to the focus (%s)", names[which],
                focus ? headless::windowText(focus).c_str() : "none"));
    // In "PolyList" the key selects another entry, which becomes current.
    if (focus && focus == polygonListBox)
        prediction_.currentKnown = false;
}

namespace {

struct NamedSlider {
    HWND* handle;
    const char* name;
};
const NamedSlider panelSliders[] = {{&redSlider, "Red"},   {&greenSlider, "Green"},
                                    {&blueSlider, "Blue"}, {&alphaSlider, "Alpha"},
                                    {&sizeSlider, "Size"}, {&alphaTestSlider, "AlphaTest"}};

} // namespace

void RandomSession::dragSlider() {
    const NamedSlider& slider = panelSliders[random_.below(6)];
    headless::TrackbarState state = headless::trackbar(*slider.handle);
    int position = random_.percent(20) ? (random_.percent(50) ? state.min : state.max)
                                       : random_.between(state.min, state.max);
    int moves = random_.between(1, 4);
    headless::dragTrackbar(*slider.handle, position, moves);
    note(format("drag the %s Slider to %d in %d moves", slider.name, position, moves));
}

void RandomSession::clickSliderChannel() {
    const NamedSlider& slider = panelSliders[random_.below(6)];
    bool after = random_.percent(50);
    headless::clickTrackbarChannel(*slider.handle, after);
    note(format("click the %s Slider's channel %s the thumb", slider.name,
                after ? "after" : "before"));
}

void RandomSession::pickPanelCombo() {
    const struct {
        HWND combo;
        const char* name;
    } combos[] = {{texEnvCombo, "glTexEnv"},
                  {blendSrcCombo, "glBlend1"},
                  {blendDstCombo, "glBlend2"},
                  {alphaFuncCombo, "glAlpha1"}};
    const auto& chosen = combos[random_.below(4)];
    int count = int(headless::items(chosen.combo).size());
    int index = random_.below(count);
    headless::pickComboItem(chosen.combo, index);
    note(format("pick entry %d of \"%s\"", index, chosen.name));
}

void RandomSession::clickCheckBox() {
    bool blend = random_.percent(50);
    headless::click(blend ? blendCheckBox : alphaTestCheckBox);
    note(blend ? "click Enable GL_BLEND" : "click Enable GL_ALPHA_TEST");
}

void RandomSession::clickValueField() {
    HWND fields[] = {redField,  greenField,    blueField,       alphaField,
                     sizeField, alphaRefField, textureFileField};
    HWND field = fields[random_.below(7)];
    headless::click(field);
    note("click value field " + std::to_string(headless::controlId(field)));
}

void RandomSession::chooseOption() {
    static const int options[] = {idTextureMappingOn, idTextureMappingOff, idOrthographic,
                                  idPerspective,      idLightingOn,        idLightingOff,
                                  idColorMaterial};
    int id = options[random_.below(7)];
    headless::chooseMenuItem(mainWindow, UINT(id));
    note("menu option " + std::to_string(id));
}

void RandomSession::modeKey() {
    bool flat = random_.percent(50);
    headless::pressKey(nullptr, flat ? '2' : '3');
    note(flat ? "key 2 (2D)" : "key 3 (3D)");
}

void RandomSession::fileNotImplemented() {
    static const int ids[] = {idFileOpen, idFileSave, idFileSaveAs};
    int id = ids[random_.below(3)];
    headless::chooseMenuItem(mainWindow, UINT(id));
    note("menu File " + std::to_string(id));
    prediction_.boxes.push_back({"Not implemented yet", "Sorry"});
}

void RandomSession::openAbout() {
    headless::chooseMenuItem(mainWindow, idHelpAbout);
    note("menu About");
    prediction_.dialog = aboutDialogCaption;
}

void RandomSession::viewButtonDown() {
    int x = random_.between(0, 511), y = random_.between(0, 511);
    headless::mouseDown(viewFrame, x, y);
    note(format("button down in the view at %d, %d (%s)", x, y, orthographic ? "2D" : "3D"));
}

// While the view frame holds the mouse the pointer may leave it on any side.
void RandomSession::viewMove() {
    bool held = headless::captureWindow() == viewFrame;
    int low = held ? -300 : 0, high = held ? 811 : 511;
    int x = random_.between(low, high), y = random_.between(low, high);
    headless::mouseMove(viewFrame, x, y);
    note(format("pointer to %d, %d in the view", x, y));
}

void RandomSession::viewButtonUp() {
    bool held = headless::captureWindow() == viewFrame;
    int low = held ? -300 : 0, high = held ? 811 : 511;
    int x = random_.between(low, high), y = random_.between(low, high);
    headless::mouseUp(viewFrame, x, y);
    note(format("button up at %d, %d in the view", x, y));
}

} // namespace soak
