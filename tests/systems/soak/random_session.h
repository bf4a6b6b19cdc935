// A seeded random session: one user action per wait of the program's loops (the main loop or
// a modal dialog's), each given as real input, and before each the check that the program did
// what the action should have done and that its scene is whole.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/winapi.h"
#include "tests/support/seeded_random.h"
#include "tests/systems/soak/scene_model.h"
#include "tests/systems/soak/soak_files.h"

using scene::Polygon;

namespace soak {

class RandomSession {
  public:
    RandomSession(uint64_t seed, long actions, const SoakFiles& files);

    // Queues the first step; run the program after it. The last step chooses Exit.
    void start();

    const std::string& failure() const { return failure_; }
    long actionsDone() const { return done_; }
    std::string tally() const; // how often each kind of action ran

  private:
    struct BoxText {
        std::string text, caption;
    };
    // What the program must show once it has taken the action's input.
    struct Prediction {
        std::vector<const Polygon*> order; // nullptr: the polygon the action makes
        PolygonExpectation made;
        int current = -1;                    // index in order, -1: none
        bool currentKnown = true;            // false: keys moved the selection
        std::vector<BoxText> boxes;          // message boxes, in order
        std::string dialog;                  // caption of the dialog open after it, "" none
        std::function<std::string()> settle; // further effects; may add to boxes
    };
    enum class Via { Button, Key, Menu };
    struct Choice {
        int weight;
        const char* kind;
        std::function<void()> run;
    };

    void queueNext();
    void step();
    void finish();
    std::string settleAndCheck();
    std::string checkPrediction(const std::vector<const Polygon*>& list);
    std::string checkBoxes() const;
    std::string checkPositions(const std::vector<const Polygon*>& list);
    void countHoldings(const std::vector<const Polygon*>& list);
    void act();
    void choose(const std::vector<Choice>& choices);
    void note(const std::string& description);

    void mainAction(bool captured);
    void textureDialogAction(HWND dialog, bool captured, bool mustClose);
    void renameDialogAction(HWND dialog, bool captured, bool mustClose);
    void aboutDialogAction(HWND dialog, bool captured, bool mustClose);

    // Main window actions.
    void command(Via via, int id, UINT key, const char* what);
    void addPolygon(Via via);
    void duplicatePolygon(Via via);
    void removePolygon(Via via);
    void removeAll(Via via);
    void movePolygon(Via via, bool up);
    void renamePolygon(Via via);
    void modifyTexture();
    void removeTexture();
    void pickPolygon();
    void arrowKey();
    void dragSlider();
    void clickSliderChannel();
    void pickPanelCombo();
    void clickCheckBox();
    void clickValueField();
    void chooseOption();
    void modeKey();
    void fileNotImplemented();
    void openAbout();
    void viewButtonDown();
    void viewMove();
    void viewButtonUp();

    // Texture Map dialog actions.
    void browse(HWND dialog);
    void pickFilter(HWND dialog);
    void pressTextureOk(HWND dialog, bool byEnter);
    void browseWithoutChoice(HWND dialog);

    SeededRandom random_;
    const long total_;
    const SoakFiles& files_;
    SceneModel model_;
    Prediction prediction_;
    size_t boxesBefore_ = 0;
    long done_ = 0;
    int dialogActions_ = 0;
    bool finishing_ = false;
    int finishSteps_ = 0;
    std::string failure_;
    std::deque<std::string> recent_;
    std::map<std::string, long> tally_;
    std::map<std::string, long> seen_; // polygons checked, by what they hold
    const uint64_t seed_;
};

} // namespace soak
