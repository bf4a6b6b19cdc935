// The headless backend: no screen; a virtual clock for timers.
//   [x] input: scripted steps run whenever the program waits on an empty queue
//   [x] message boxes and the file chooser: scripted answers, every call recorded
//   [x] GL: EGL pbuffers (Mesa surfaceless), any WGL step can be made to fail, frames counted
//       and the last one kept, top row first
//   [x] timers on a virtual clock: a due timer fires at once when the program would wait,
//       before any further step
//   [ ] views: none; the layer's own state is what tests read, and each window's view changes
//       are kept as a desktop view would receive them
// Pairs with the layer core (platform/); tests drive it through headless.h.
#include "platform/headless/egl_surface.h"
#include "platform/headless/headless.h"
#include "platform/layer.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <optional>
#include <set>

namespace headless {

namespace {

// Waits that find the script empty, after which the run is taken to be stuck.
constexpr int maxWaitsAfterScript = 1000;

struct HeadlessState {
    bool sessionOpen = false;
    std::deque<Step> steps;
    bool ranOut = false;
    int waitsAfterScript = 0;
    std::deque<int> messageBoxAnswers;
    std::vector<MessageBoxCall> messageBoxes;
    std::deque<std::optional<std::string>> fileChoices; // nullopt: cancel
    std::vector<FileChooserCall> fileChoosers;
    std::set<GlStep> failingSteps;
    std::set<std::string> failingGetDc;
    std::set<std::string> failingCreate;
    int windowsMade = 0;
    PIXELFORMATDESCRIPTOR formatAsked{};
    int frames = 0;
    std::vector<uint8_t> frame;
    std::map<HWND, unsigned> viewChanges; // ViewChange bits since last taken
};

HeadlessState& data() {
    static HeadlessState state;
    return state;
}

bool stepFails(GlStep step) {
    return data().failingSteps.count(step) != 0;
}

bool waitForInput(bool block) {
    if (!block)
        return true;
    HeadlessState& s = data();
    if (s.steps.empty()) {
        s.ranOut = true;
        if (++s.waitsAfterScript > maxWaitsAfterScript) {
            std::fprintf(stderr, "headless: the program keeps waiting after its script ran out\n");
            std::abort();
        }
        return false;
    }
    Step step = std::move(s.steps.front());
    s.steps.pop_front();
    step();
    return true;
}

int defaultAnswer(UINT type) {
    static const int buttons[][3] = {{IDOK, IDOK, IDOK},           {IDOK, IDCANCEL, IDCANCEL},
                                     {IDABORT, IDRETRY, IDIGNORE}, {IDYES, IDNO, IDCANCEL},
                                     {IDYES, IDNO, IDNO},          {IDRETRY, IDCANCEL, IDCANCEL}};
    UINT kind = type & MB_TYPEMASK;
    if (kind > 5)
        kind = 0;
    UINT defaultButton = (type >> 8) & 3;
    return buttons[kind][defaultButton > 2 ? 0 : defaultButton];
}

int messageBox(HWND owner, const char* text, const char* caption, UINT type) {
    HeadlessState& s = data();
    int answer = defaultAnswer(type);
    if (!s.messageBoxAnswers.empty()) {
        answer = s.messageBoxAnswers.front();
        s.messageBoxAnswers.pop_front();
    }
    HWND ownerTop = layer::topLevelOf(owner);
    bool ownerDisabled = ownerTop && !IsWindowEnabled(ownerTop);
    s.messageBoxes.push_back(MessageBoxCall{.owner = owner,
                                            .text = text,
                                            .caption = caption,
                                            .type = type,
                                            .answer = answer,
                                            .ownerDisabled = ownerDisabled});
    return answer;
}

std::vector<std::string> splitFilter(LPCSTR filter) {
    std::vector<std::string> parts;
    while (filter && *filter) {
        parts.emplace_back(filter);
        filter += parts.back().size() + 1;
    }
    return parts;
}

BOOL openFileName(OPENFILENAMEA* ofn) {
    HeadlessState& s = data();
    FileChooserCall call{*ofn,
                         splitFilter(ofn->lpstrFilter),
                         ofn->lpstrTitle ? ofn->lpstrTitle : "",
                         ofn->lpstrDefExt ? ofn->lpstrDefExt : "",
                         ofn->lpstrInitialDir ? ofn->lpstrInitialDir : "",
                         FALSE,
                         ""};
    std::optional<std::string> choice;
    if (!s.fileChoices.empty()) {
        choice = s.fileChoices.front();
        s.fileChoices.pop_front();
    }
    if (choice) {
        call.result = acceptChosenFile(ofn, choice->c_str());
        if (call.result)
            call.chosenPath = *choice;
    }
    s.fileChoosers.push_back(call);
    return call.result;
}

void updateView(HWND window, unsigned changes) {
    data().viewChanges[window] |= changes;
}

void destroyView(HWND window) {
    data().viewChanges.erase(window);
    destroySurface(window);
}

bool createView(HWND window) {
    layer::Window* w = layer::windowOf(window);
    if (w && data().failingCreate.count(w->text))
        return false;
    ++data().windowsMade;
    return true;
}

bool getDc(HWND window) {
    layer::Window* w = layer::windowOf(window);
    return !w || !data().failingGetDc.count(w->text);
}

int choosePixelFormat(HWND, const PIXELFORMATDESCRIPTOR& wanted) {
    data().formatAsked = wanted;
    return !stepFails(GlStep::ChoosePixelFormat) && eglReady() ? 1 : 0;
}

bool describePixelFormat(int format, PIXELFORMATDESCRIPTOR& pfd) {
    if (format != 1 || !eglReady())
        return false;
    pfd = PIXELFORMATDESCRIPTOR{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cRedBits = pfd.cGreenBits = pfd.cBlueBits = 8;
    pfd.cRedShift = 16;
    pfd.cGreenShift = 8;
    pfd.cDepthBits = 16;
    pfd.iLayerType = PFD_MAIN_PLANE;
    return true;
}

bool setPixelFormat(HWND window, int format) {
    return !stepFails(GlStep::SetPixelFormat) && format == 1 && createSurface(window);
}

void* createContext(HWND) {
    return stepFails(GlStep::CreateContext) ? nullptr : createGlContext();
}

bool makeCurrent(HWND window, void* context) {
    if (context && stepFails(GlStep::MakeCurrent))
        return false;
    return makeGlCurrent(window, context);
}

bool present(HWND window) {
    HeadlessState& s = data();
    if (!readSurface(window, s.frame))
        return false;
    ++s.frames;
    return true;
}

const Backend headlessBackend = {
    "headless",
    createView, // the layer's state is the view: only counted, or refused when told
    updateView,        destroyView,         waitForInput,
    messageBox,        openFileName,        getDc,
    nullptr, // fillRect: the layer keeps the colour
    choosePixelFormat, describePixelFormat, setPixelFormat,
    createContext,     makeCurrent,         destroyGlContext,
    present,
    nullptr, // tickCount: virtual time, the next due timer fires whenever the program waits
    nullptr, // waitForInputFor
};

// For whole-program runs without a script: message boxes and the file-open dialog are the
// layer's own dialog windows, which the run answers with input as the user would.
const Backend dialogWindowsBackend = [] {
    Backend b = headlessBackend;
    b.name = "headless, dialog windows";
    b.messageBox = nullptr;
    b.openFileName = nullptr;
    return b;
}();

} // namespace

const Backend& withDialogWindows() {
    return dialogWindowsBackend;
}

unsigned takeViewChanges(HWND window) {
    unsigned changes = data().viewChanges[window];
    data().viewChanges.erase(window);
    return changes;
}

Session::Session() {
    if (data().sessionOpen) {
        std::fprintf(stderr, "headless: one session at a time\n");
        std::abort();
    }
    setBackend(&headlessBackend);
    layer::resetLayer();
    data() = HeadlessState{};
    data().sessionOpen = true;
}

Session::~Session() {
    layer::resetLayer();
    releaseAllSurfaces();
    setBackend(nullptr);
    data() = HeadlessState{};
}

void queueStep(Step step) {
    data().steps.push_back(std::move(step));
}
size_t stepsLeft() {
    return data().steps.size();
}
bool scriptRanOut() {
    return data().ranOut;
}

void queueMessageBoxAnswer(int answer) {
    data().messageBoxAnswers.push_back(answer);
}
const std::vector<MessageBoxCall>& messageBoxCalls() {
    return data().messageBoxes;
}
void queueFileChoice(const std::string& fullPath) {
    data().fileChoices.emplace_back(fullPath);
}
void queueFileCancel() {
    data().fileChoices.emplace_back(std::nullopt);
}
const std::vector<FileChooserCall>& fileChooserCalls() {
    return data().fileChoosers;
}

void failGlStep(GlStep step) {
    data().failingSteps.insert(step);
}
void failGetDc(const char* windowText) {
    data().failingGetDc.insert(windowText ? windowText : "");
}
void failCreateWindow(const char* windowText) {
    data().failingCreate.insert(windowText ? windowText : "");
}
int windowsMade() {
    return data().windowsMade;
}
const PIXELFORMATDESCRIPTOR& pixelFormatAsked() {
    return data().formatAsked;
}
bool glAvailable() {
    return eglReady();
}
int framesPresented() {
    return data().frames;
}
const std::vector<uint8_t>& presentedFrame() {
    return data().frame;
}

Rgb presentedPixel(int x, int y) {
    const std::vector<uint8_t>& frame = data().frame;
    if (frame.empty() || x < 0 || y < 0 || x >= surfaceSize || y >= surfaceSize)
        return Rgb{0, 0, 0};
    size_t at = (static_cast<size_t>(y) * surfaceSize + x) * 3;
    return Rgb{frame[at], frame[at + 1], frame[at + 2]};
}

} // namespace headless

const Backend& programBackend() {
    return headless::headlessBackend;
}
