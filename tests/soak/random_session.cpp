#include "tests/soak/random_session.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "app/shell.h"
#include "panel/panel.h"
#include "platform/headless/headless.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "tests/soak/link_watch.h"

namespace soak {

namespace {

constexpr int crowdedList = 12;   // from this many polygons on, removing outweighs adding
constexpr int longestDialog = 12; // actions in one dialog before only closing ones are left
constexpr size_t recentKept = 40; // actions shown with a failure

const std::string textureDialogCaption = "Select Texture Map";
const std::string renameDialogCaption = "Rename polygon";
const std::string aboutDialogCaption = "About";

std::string format(const char* pattern, auto... values) {
    char text[1024];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

HWND control(int id) {
    return headless::findControl(mainWindow, id);
}

HWND item(HWND dialog, int id) {
    return headless::findControl(dialog, id);
}

bool within(HWND window, HWND ancestor) {
    for (; window; window = GetParent(window))
        if (window == ancestor)
            return true;
    return false;
}

bool isButton(HWND window) {
    std::string name = headless::className(window);
    for (char& c : name)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return name == "button";
}

bool isPowerOfTwo(int n) {
    return n >= 2 && (n & (n - 1)) == 0;
}

int indexOf(const std::vector<const Polygon*>& list, const Polygon* polygon) {
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == polygon)
            return int(i);
    return -1;
}

} // namespace

RandomSession::RandomSession(uint64_t seed, long actions, const SoakFiles& files)
    : random_(seed), total_(actions), files_(files), seed_(seed) {}

void RandomSession::start() {
    queueNext();
}

void RandomSession::queueNext() {
    headless::queueStep([this] { step(); });
}

std::string RandomSession::tally() const {
    std::string text;
    for (const auto& [kind, count] : tally_)
        text += format("  %-22s %ld\n", kind.c_str(), count);
    text += "seen:\n";
    for (const auto& [kind, count] : seen_)
        text += format("  %-32s %ld\n", kind.c_str(), count);
    return text;
}

void RandomSession::note(const std::string& description) {
    recent_.push_back(format("#%ld ", done_ + 1) + description);
    if (recent_.size() > recentKept)
        recent_.pop_front();
}

void RandomSession::step() {
    if (finishing_)
        return finish();
    std::string problem = settleAndCheck();
    if (!problem.empty()) {
        failure_ = format("seed %llu, after action %ld: ", (unsigned long long)seed_, done_) +
                   problem + "\nthe actions before it:";
        for (const std::string& action : recent_)
            failure_ += "\n  " + action;
        finishing_ = true;
        return finish();
    }
    if (done_ >= total_) {
        finishing_ = true;
        return finish();
    }
    act();
    ++done_;
    queueNext();
}

// Closes whatever dialog is open, then chooses Exit; the loop ends with no further step.
void RandomSession::finish() {
    if (++finishSteps_ > 30) {
        failure_ += "\nthe session could not close its dialogs to end";
        return;
    }
    if (HWND dialog = headless::activeDialog()) {
        headless::closeWindow(dialog);
        queueNext();
        return;
    }
    headless::chooseMenuItem(mainWindow, idFileExit);
}

std::string RandomSession::settleAndCheck() {
    std::vector<std::string> breaches = watch::takeBreaches();
    if (!breaches.empty()) {
        std::string text = breaches.front();
        for (size_t i = 1; i < breaches.size(); ++i)
            text += "; " + breaches[i];
        return text;
    }
    std::string problem;
    std::vector<const Polygon*> list = walkList(problem);
    if (!problem.empty())
        return problem;

    HWND dialog = headless::activeDialog();
    std::string caption = dialog ? headless::windowText(dialog) : "";
    if (caption != prediction_.dialog)
        return format("the dialog open is '%s', not '%s'", caption.c_str(),
                      prediction_.dialog.c_str());
    problem = checkPrediction(list);
    if (!problem.empty())
        return problem;

    const auto& boxes = headless::messageBoxCalls();
    std::vector<BoxText> shown;
    for (size_t i = boxesBefore_; i < boxes.size(); ++i)
        shown.push_back({boxes[i].text, boxes[i].caption});
    bool sameBoxes = shown.size() == prediction_.boxes.size();
    for (size_t i = 0; sameBoxes && i < shown.size(); ++i)
        sameBoxes = shown[i].text == prediction_.boxes[i].text &&
                    shown[i].caption == prediction_.boxes[i].caption;
    if (!sameBoxes) {
        std::string text = format("%zu message boxes shown (", shown.size());
        for (const BoxText& box : shown)
            text += "'" + box.text + "' ";
        text += format("), %zu expected (", prediction_.boxes.size());
        for (const BoxText& box : prediction_.boxes)
            text += "'" + box.text + "' ";
        return text + ")";
    }

    problem = checkListBox(list);
    for (size_t i = 0; problem.empty() && i < list.size(); ++i)
        problem = checkPolygon(*list[i], model_.expected.at(list[i]));
    if (problem.empty())
        problem = checkOwnership(list);
    if (problem.empty() && !dialog && done_ > 0)
        problem = checkMainWindow();
    for (const Polygon* polygon : list) {
        const PolygonExpectation& expected = model_.expected.at(polygon);
        ++seen_[expected.texture == TextureHolds::Picture     ? "polygons with a texture"
                : expected.texture == TextureHolds::NoPicture ? "polygons with an empty texture"
                : expected.image                              ? "polygons with a picture only"
                                                              : "polygons without a picture"];
    }
    return problem;
}

// The list order and current polygon the action should have left; binds the polygon it made
// to its expectation and runs the action's further effects.
std::string RandomSession::checkPrediction(const std::vector<const Polygon*>& list) {
    const std::vector<const Polygon*>& order = prediction_.order;
    if (list.size() != order.size())
        return format("the list holds %zu polygons, %zu expected", list.size(), order.size());
    for (size_t i = 0; i < list.size(); ++i) {
        if (order[i] == nullptr) {
            if (model_.expected.count(list[i]))
                return format("entry %zu should be a new polygon, it is '%s'", i, list[i]->name);
            model_.expected[list[i]] = prediction_.made;
        } else if (order[i] != list[i]) {
            return format("entry %zu is '%s', not the polygon expected there (entry %d before)", i,
                          list[i]->name, indexOf(model_.order, order[i]));
        }
    }
    for (auto it = model_.expected.begin(); it != model_.expected.end();)
        it = indexOf(list, it->first) < 0 ? model_.expected.erase(it) : std::next(it);
    model_.order = list;

    int current = currentPolygon ? indexOf(list, currentPolygon) : -1;
    if (prediction_.currentKnown && current != prediction_.current)
        return format("entry %d is current, entry %d expected", current, prediction_.current);
    return prediction_.settle ? prediction_.settle() : "";
}

void RandomSession::choose(const std::vector<Choice>& choices) {
    int total = 0;
    for (const Choice& choice : choices)
        total += choice.weight;
    int pick = random_.below(total);
    for (const Choice& choice : choices) {
        if (pick < choice.weight) {
            ++tally_[choice.kind];
            choice.run();
            return;
        }
        pick -= choice.weight;
    }
}

void RandomSession::act() {
    prediction_ = Prediction{};
    prediction_.order = model_.order;
    prediction_.current = currentPolygon ? indexOf(model_.order, currentPolygon) : -1;
    HWND dialog = headless::activeDialog();
    prediction_.dialog = dialog ? headless::windowText(dialog) : "";
    boxesBefore_ = headless::messageBoxCalls().size();

    // While the view frame holds the mouse for a drag, the button stays down: no clicks
    // anywhere, only pointer moves, the release, keys and menu commands.
    HWND capture = headless::captureWindow();
    bool captured = capture && !(dialog && within(capture, dialog));
    if (!dialog) {
        dialogActions_ = 0;
        return mainAction(captured);
    }
    bool mustClose = ++dialogActions_ > longestDialog;
    if (prediction_.dialog == textureDialogCaption)
        textureDialogAction(dialog, captured, mustClose);
    else if (prediction_.dialog == renameDialogCaption)
        renameDialogAction(dialog, captured, mustClose);
    else
        aboutDialogAction(dialog, captured, mustClose);
}

// ---------------------------------------------------------------------------------------------
// The main window

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
        headless::click(control(id));
        note(format("click %s", what));
        break;
    case Via::Key:
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

// ---------------------------------------------------------------------------------------------
// The Texture Map dialog

void RandomSession::textureDialogAction(HWND dialog, bool captured, bool mustClose) {
    std::vector<Choice> choices = {
        {3, "texture Esc",
         [&] {
             headless::pressKey(nullptr, VK_ESCAPE);
             note("Esc in Select Texture Map");
             prediction_.dialog = "";
         }},
        {3, "texture Enter",
         [&] {
             // Enter presses the focused push button, else the default one (OK).
             HWND focus = headless::focusWindow();
             int id = focus && GetParent(focus) == dialog && isButton(focus)
                          ? headless::controlId(focus)
                          : IDOK;
             if (id == idBrowse) {
                 browseWithoutChoice(dialog);
             } else if (id == IDCANCEL) {
                 headless::pressKey(nullptr, VK_RETURN);
                 note("Enter on Cancel in Select Texture Map");
                 prediction_.dialog = "";
             } else {
                 pressTextureOk(dialog, true);
             }
         }},
    };
    if (!captured) {
        std::vector<Choice> clicks = {
            {12, "texture OK", [&] { pressTextureOk(dialog, false); }},
            {3, "texture Cancel",
             [&] {
                 headless::click(item(dialog, IDCANCEL));
                 note("click Cancel in Select Texture Map");
                 prediction_.dialog = "";
             }},
            {2, "texture close box",
             [&] {
                 headless::closeWindow(dialog);
                 note("close box of Select Texture Map");
                 prediction_.dialog = "";
             }},
        };
        if (!mustClose) {
            clicks.push_back({30, "browse", [&] { browse(dialog); }});
            clicks.push_back({8, "pick filter", [&] { pickFilter(dialog); }});
        }
        choices.insert(choices.end(), clicks.begin(), clicks.end());
    }
    choose(choices);
}

void RandomSession::browse(HWND dialog) {
    const SoakFile* file = nullptr;
    int roll = random_.below(100);
    FileKind kind = roll < 50   ? FileKind::Valid
                    : roll < 60 ? FileKind::NotPowerOfTwo
                    : roll < 70 ? FileKind::OtherDepth
                    : roll < 97 ? FileKind::Hostile
                    : roll < 99 ? FileKind::Missing
                                : FileKind(-1);
    const std::vector<SoakFile>& candidates = files_.ofKind(kind);
    if (!candidates.empty()) {
        file = &candidates[size_t(random_.below(int(candidates.size())))];
        headless::queueFileChoice(file->path);
        note(format("Browse: %s file %s", kindName(kind), file->name.c_str()));
    } else {
        headless::queueFileCancel();
        note("Browse: cancel the file chooser");
    }
    const Polygon* polygon = currentPolygon;
    Image before = polygon->image;
    size_t choosers = headless::fileChooserCalls().size();
    size_t lines = headless::items(item(dialog, idImageDetails)).size();
    headless::click(item(dialog, idBrowse));

    prediction_.settle = [this, polygon, before, choosers, lines, dialog] {
        const auto& calls = headless::fileChooserCalls();
        if (calls.size() != choosers + 1)
            return format("Browse showed the file chooser %zu times", calls.size() - choosers);
        std::vector<std::string> added;
        if (calls.back().result) {
            const std::string& path = calls.back().chosenPath;
            std::string name = std::filesystem::path(path).filename().string();
            added.push_back(name);
            auto loaded = std::make_shared<const ImageSnapshot>(loadedFrom(before, path));
            const Image& image = loaded->fields;
            PolygonExpectation& expected = model_.expected.at(polygon);
            ++seen_[loaded->status != ImageOk ? (loaded->hasPixels ? "loads failed, pixels left"
                                                                   : "loads failed, no pixels left")
                    : isPowerOfTwo(image.width) && isPowerOfTwo(image.height)
                        ? "loads of a usable size"
                        : "loads of a size refused"];
            if (loaded->status != ImageOk) {
                expected.image = loaded; // as the load left it
                prediction_.boxes.push_back({"Image Load Failed!", "Error"});
            } else {
                added.push_back(
                    format("%d x %d %d bit", image.width, image.height, image.bitsPerPixel));
                if (isPowerOfTwo(image.width) && isPowerOfTwo(image.height)) {
                    expected.image = loaded;
                    expected.textureFile = name.substr(0, 255);
                } else {
                    expected.image = nullptr;
                    expected.textureFile = "None";
                    prediction_.boxes.push_back(
                        {"Image dimensions are not powers of 2", "Invalid Texture"});
                    added.push_back("Image width is not a power of 2 - Invalid texture");
                }
            }
        }
        std::vector<std::string> details = headless::items(item(dialog, idImageDetails));
        std::vector<std::string> expectedLines(
            details.begin(), details.begin() + long(std::min(lines, details.size())));
        expectedLines.insert(expectedLines.end(), added.begin(), added.end());
        if (details != expectedLines)
            return format("the details list has %zu lines, ending '%s'; %zu expected",
                          details.size(), details.empty() ? "" : details.back().c_str(),
                          expectedLines.size());
        return std::string();
    };
}

void RandomSession::browseWithoutChoice(HWND dialog) {
    size_t choosers = headless::fileChooserCalls().size();
    size_t lines = headless::items(item(dialog, idImageDetails)).size();
    headless::pressKey(nullptr, VK_RETURN);
    note("Enter on Browse, then cancel the file chooser");
    prediction_.settle = [choosers, lines, dialog] {
        const auto& calls = headless::fileChooserCalls();
        if (calls.size() != choosers + 1 || calls.back().result)
            return std::string("Enter on Browse did not show the file chooser once");
        if (headless::items(item(dialog, idImageDetails)).size() != lines)
            return std::string("a cancelled file chooser added details");
        return std::string();
    };
}

void RandomSession::pickFilter(HWND dialog) {
    bool minifying = random_.percent(50);
    int index = random_.below(2);
    headless::pickComboItem(item(dialog, minifying ? idMinFilter : idMagFilter), index);
    note(format("pick %s in the %s Filter list", index ? "GL_LINEAR" : "GL_NEAREST",
                minifying ? "Min" : "Mag"));
}

void RandomSession::pressTextureOk(HWND dialog, bool byEnter) {
    const Polygon* polygon = currentPolygon;
    int minIndex = headless::selection(item(dialog, idMinFilter));
    int magIndex = headless::selection(item(dialog, idMagFilter));
    if (byEnter)
        headless::pressKey(nullptr, VK_RETURN);
    else
        headless::click(item(dialog, IDOK));
    note(format("%s in Select Texture Map (filters %d / %d)", byEnter ? "Enter" : "click OK",
                minIndex, magIndex));
    prediction_.dialog = "";
    prediction_.settle = [this, polygon, minIndex, magIndex] {
        PolygonExpectation& expected = model_.expected.at(polygon);
        expected.minFilterIndex = minIndex;
        expected.magFilterIndex = magIndex;
        if (expected.image && expected.image->hasPixels) {
            expected.texture = uploadOf(*expected.image);
            expected.texturePicture = expected.image;
            expected.minFilter = filterOf(minIndex, true);
            expected.magFilter = filterOf(magIndex, false);
        }
        std::string field = headless::windowText(textureFileField);
        if (field != expected.textureFile)
            return "after OK the file name field shows '" + field + "', not '" +
                   expected.textureFile + "'";
        return std::string();
    };
}

// ---------------------------------------------------------------------------------------------
// The Rename dialog

void RandomSession::renameDialogAction(HWND dialog, bool captured, bool mustClose) {
    HWND edit = item(dialog, idNewName);
    const Polygon* polygon = currentPolygon;
    const std::string oldName = polygon->name;
    // Closing: OK takes the edit's text, at most 254 characters, unless it is empty.
    auto closing = [&](bool ok, const std::string& how) {
        std::string text = headless::windowText(edit);
        std::string name = ok && !text.empty() ? text.substr(0, 254) : oldName;
        note(how + " in Rename polygon, the edit holding " + std::to_string(text.size()) +
             " characters");
        prediction_.dialog = "";
        prediction_.settle = [polygon, name] {
            return name == polygon->name ? std::string()
                                         : "the polygon is named '" + std::string(polygon->name) +
                                               "', not '" + name + "'";
        };
    };
    std::vector<Choice> choices = {
        {8, "rename Enter",
         [&] {
             HWND focus = headless::focusWindow();
             bool cancel = focus && GetParent(focus) == dialog && isButton(focus) &&
                           headless::controlId(focus) == IDCANCEL;
             headless::pressKey(nullptr, VK_RETURN);
             closing(!cancel, "Enter");
         }},
        {6, "rename Esc",
         [&] {
             headless::pressKey(nullptr, VK_ESCAPE);
             closing(false, "Esc");
         }},
    };
    if (!mustClose)
        choices.push_back({30, "type name", [&] {
                               std::string text;
                               static const char letters[] =
                                   "abcdefghijKLMNOPQRSTuvwxyz0123456789 -_.,()#+";
                               int length = random_.percent(5) ? random_.between(250, 300)
                                                               : random_.between(0, 20);
                               if (random_.percent(15))
                                   text.append(size_t(random_.between(1, 3)), '\b');
                               for (int i = 0; i < length; ++i)
                                   text += letters[random_.below(int(sizeof letters) - 1)];
                               headless::typeText(edit, text.c_str());
                               note(format("type %zu keys into the new name", text.size()));
                           }});
    if (!captured) {
        choices.push_back({12, "rename OK", [&] {
                               headless::click(item(dialog, IDOK));
                               closing(true, "click OK");
                           }});
        choices.push_back({6, "rename Cancel", [&] {
                               headless::click(item(dialog, IDCANCEL));
                               closing(false, "click Cancel");
                           }});
        choices.push_back({4, "rename close box", [&] {
                               headless::closeWindow(dialog);
                               closing(false, "close box");
                           }});
    }
    choose(choices);
}

// ---------------------------------------------------------------------------------------------
// The About box

void RandomSession::aboutDialogAction(HWND dialog, bool captured, bool mustClose) {
    std::vector<Choice> choices = {
        {6, "about Enter",
         [&] {
             headless::pressKey(nullptr, VK_RETURN);
             note("Enter in About");
             prediction_.dialog = "";
         }},
    };
    if (!mustClose)
        choices.push_back({6, "about Esc", [&] {
                               headless::pressKey(nullptr, VK_ESCAPE);
                               note("Esc in About, which stays");
                           }});
    if (!captured) {
        choices.push_back({10, "about OK", [&] {
                               headless::click(item(dialog, IDOK));
                               note("click OK in About");
                               prediction_.dialog = "";
                           }});
        choices.push_back({6, "about close box", [&] {
                               headless::closeWindow(dialog);
                               note("close box of About");
                               prediction_.dialog = "";
                           }});
        if (!mustClose)
            choices.push_back({6, "about history", [&] {
                                   headless::click(item(dialog, idVersionHistory));
                                   note("click the version history in About");
                               }});
    }
    choose(choices);
}

} // namespace soak
