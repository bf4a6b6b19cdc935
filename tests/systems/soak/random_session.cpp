#include "tests/systems/soak/random_session.h"

#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "tests/systems/soak/link_watch.h"
#include "tests/systems/soak/session_helpers.h"

using scene::Polygon;

namespace soak {

namespace {

constexpr int longestDialog = 12; // actions in one dialog before only closing ones are left
constexpr size_t recentKept = 40; // actions shown with a failure

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

    problem = checkBoxes();
    if (problem.empty())
        problem = checkPositions(list);
    if (!problem.empty())
        return problem;

    problem = checkListBox(list);
    for (size_t i = 0; problem.empty() && i < list.size(); ++i)
        problem = checkPolygon(*list[i], model_.expected.at(list[i]));
    if (problem.empty())
        problem = checkOwnership(list);
    if (problem.empty() && !dialog && done_ > 0)
        problem = checkMainWindow();
    countHoldings(list);
    return problem;
}

// The message boxes shown since the action are the ones it should have shown, in order.
std::string RandomSession::checkBoxes() const {
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
    return "";
}

// Only the current polygon follows a drag; the others stay where they were.
std::string RandomSession::checkPositions(const std::vector<const Polygon*>& list) {
    for (const Polygon* polygon : list) {
        PolygonExpectation& expected = model_.expected.at(polygon);
        if (polygon != currentPolygon && (polygon->x != expected.x || polygon->y != expected.y))
            return format("polygon '%s' moved from %d, %d to %d, %d while not current",
                          polygon->name, expected.x, expected.y, polygon->x, polygon->y);
        expected.x = polygon->x;
        expected.y = polygon->y;
    }
    return "";
}

void RandomSession::countHoldings(const std::vector<const Polygon*>& list) {
    for (const Polygon* polygon : list) {
        const PolygonExpectation& expected = model_.expected.at(polygon);
        ++seen_[expected.texture == TextureHolds::Picture     ? "polygons with a texture"
                : expected.texture == TextureHolds::NoPicture ? "polygons with an empty texture"
                : expected.image                              ? "polygons with a picture only"
                                                              : "polygons without a picture"];
    }
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

} // namespace soak
