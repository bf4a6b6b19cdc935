#include "tests/systems/scenario/scenario_driver.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "render/render_frame.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "tests/support/user_input.h"
#include "tests/systems/scenario/random_session.h"

using namespace scenario;
using namespace userInput;

namespace {

std::FILE* dumpFile = nullptr;
SeededRandom* session = nullptr;
long stepsLeft = 0;
long stepNumber = 0;
std::string lastAction = "start";

std::string quoted(const char* text) {
    std::string out = "\"";
    for (const char* c = text; *c; ++c) {
        unsigned char byte = static_cast<unsigned char>(*c);
        if (byte == '\r')
            out += "\\r";
        else if (byte == '\n')
            out += "\\n";
        else if (byte == '"' || byte == '\\')
            out += std::string("\\") + *c;
        else if (byte < 0x20 || byte >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            out += hex;
        } else {
            out += *c;
        }
    }
    return out + "\"";
}

std::string quotedTextOf(HWND window) {
    return quoted(textOf(window).c_str());
}

void write(const std::string& line) {
    std::fputs(line.c_str(), dumpFile);
    std::fputc('\n', dumpFile);
}

std::string format(const char* pattern, long a, long b = 0, long c = 0, long d = 0) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, a, b, c, d);
    return text;
}

// The rectangle in the parent's client coordinates (a top-level window's on the screen).
std::string rectOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    if (HWND parent = GetParent(window); parent && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) {
        POINT topLeft{r.left, r.top}, bottomRight{r.right, r.bottom};
        ScreenToClient(parent, &topLeft);
        ScreenToClient(parent, &bottomRight);
        r = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    }
    return format(" at %ld,%ld %ldx%ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
}

std::string itemsOf(HWND window, UINT count, UINT textLength, UINT text, UINT data) {
    LRESULT n = SendMessageA(window, count, 0, 0);
    std::string out = format(" items=%ld [", long(n));
    for (LRESULT i = 0; i < n; ++i) {
        std::vector<char> item(size_t(SendMessageA(window, textLength, WPARAM(i), 0)) + 2);
        SendMessageA(window, text, WPARAM(i), reinterpret_cast<LPARAM>(item.data()));
        if (i)
            out += ' ';
        out += quoted(item.data());
        if (data)
            out += format("=%ld", long(SendMessageA(window, data, WPARAM(i), 0)));
    }
    return out + "]";
}

// What a control shows: its class's own state besides text and place.
std::string stateOf(HWND window, const std::string& kind) {
    if (kind == "button")
        return format(" check=%ld", long(SendMessageA(window, BM_GETCHECK, 0, 0)));
    if (kind == "listbox")
        return format(" sel=%ld", long(SendMessageA(window, LB_GETCURSEL, 0, 0))) +
               itemsOf(window, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, 0);
    if (kind == "combobox")
        return format(" sel=%ld", long(SendMessageA(window, CB_GETCURSEL, 0, 0))) +
               itemsOf(window, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_GETITEMDATA) +
               (SendMessageA(window, CB_GETDROPPEDSTATE, 0, 0) ? " dropped" : "");
    if (kind == "msctls_trackbar32")
        return format(" pos=%ld range=%ld..%ld", long(SendMessageA(window, TBM_GETPOS, 0, 0)),
                      long(SendMessageA(window, TBM_GETRANGEMIN, 0, 0)),
                      long(SendMessageA(window, TBM_GETRANGEMAX, 0, 0)));
    return "";
}

// One line per control: two spaces in for the main window's, four for a dialog's.
void dumpControl(HWND control, const char* indent) {
    std::string kind = classOf(control);
    std::string line = indent + kind + format(" id=%ld ", GetDlgCtrlID(control)) +
                       quotedTextOf(control) + rectOf(control) + stateOf(control, kind);
    if (!IsWindowEnabled(control))
        line += " disabled";
    if (!IsWindowVisible(control))
        line += " hidden";
    if (focusedControl() == control)
        line += " focused";
    write(line);
}

// A message box and the file-open dialog are the system's, laid out by its own metrics: only
// what they say and offer is compared. A dialog of the program's templates is dumped whole.
void dumpDialog(HWND dialog) {
    if (isFileDialog(dialog)) {
        write("file dialog " + quotedTextOf(dialog));
        return;
    }
    if (isMessageBox(dialog)) {
        std::string line = "message box " + quotedTextOf(dialog) +
                           " text=" + quotedTextOf(messageTextOf(dialog)) + " buttons:";
        for (HWND control : directChildren(dialog)) {
            if (classOf(control) != "button" || !IsWindowVisible(control))
                continue;
            line += format(" %ld=", GetDlgCtrlID(control)) + quotedTextOf(control);
            if (GetFocus() == control)
                line += "(focused)";
        }
        write(line);
        return;
    }
    write("dialog " + quotedTextOf(dialog));
    for (HWND control : directChildren(dialog))
        dumpControl(control, "    ");
}

void dumpMenuMarks(HWND window) {
    static const UINT options[] = {idOrthographic,     idPerspective,   idLightingOn,
                                   idLightingOff,      idColorMaterial, idTextureMappingOn,
                                   idTextureMappingOff};
    std::string line = "menu";
    for (UINT id : options) {
        UINT marks = GetMenuState(GetMenu(window), id, MF_BYCOMMAND);
        line += format(" %ld=", long(id));
        line += (marks & MF_CHECKED) ? ((marks & MFT_RADIOCHECK) ? "radio" : "check") : "-";
        if (marks & (MF_GRAYED | MF_DISABLED))
            line += "/grayed";
    }
    write(line);
}

// The frame's pixels inside the view frame's client area (510 x 510 inside its edge: the GL
// viewport is 512 wide, and what lies past the window is undefined), rows bottom first.
struct FramePixels {
    int side;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int top) const { // top-left origin
        return &rgb[(size_t(side - 1 - top) * size_t(side) + size_t(x)) * 3];
    }
};

// The mean colour of each 64 x 64 block (the last row and column of blocks narrower), 8 x 8 of
// them from the top-left, as hex R, G, B: a digest that a few pixels one step apart do not
// change, unlike the checksum.
std::string blockMeans(const FramePixels& frame) {
    std::string out;
    for (int by = 0; by < 8; ++by) {
        for (int bx = 0; bx < 8; ++bx) {
            long sum[3] = {0, 0, 0}, count = 0;
            for (int y = by * 64; y < std::min(frame.side, by * 64 + 64); ++y)
                for (int x = bx * 64; x < std::min(frame.side, bx * 64 + 64); ++x, ++count)
                    for (int k = 0; k < 3; ++k)
                        sum[k] += frame.at(x, y)[k];
            count = std::max(count, 1L);
            out += format("%02lx%02lx%02lx", sum[0] / count, sum[1] / count, sum[2] / count);
        }
    }
    return out;
}

// Whether any polygon blends with the frame's own alpha, which the pixel format decides.
bool readsDestinationAlpha() {
    auto usesIt = [](uint32_t factor) {
        return factor == GL_DST_ALPHA || factor == GL_ONE_MINUS_DST_ALPHA ||
               factor == GL_SRC_ALPHA_SATURATE;
    };
    for (const scene::Polygon* p = polygonListHead; p; p = p->next)
        if (p->blendEnabled == 1 && (usesIt(p->blendSrc) || usesIt(p->blendDst)))
            return true;
    return false;
}

// The view frame as last drawn: a checksum of every pixel and a few samples, top-left origin.
void dumpFrame() {
    if (!wglGetCurrentContext()) {
        write("frame none");
        return;
    }
    // What the back buffer holds after a swap is undefined (a window system may flip buffers):
    // the frame is drawn again, as the program would draw it now, and read before any swap.
    drawFrame();
    RECT client{};
    for (HWND child : directChildren(mainWindow()))
        if (quotedTextOf(child) == "\"glFrame\"")
            GetClientRect(child, &client);
    FramePixels frame{std::clamp(int(std::min(client.right, client.bottom)), 1, 512), {}};
    frame.rgb.resize(size_t(frame.side) * size_t(frame.side) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, frame.side, frame.side, GL_RGB, GL_UNSIGNED_BYTE, frame.rgb.data());
    uint32_t hash = 2166136261u;
    long lit = 0;
    for (size_t i = 0; i < frame.rgb.size(); i += 3) {
        for (size_t k = 0; k < 3; ++k)
            hash = (hash ^ frame.rgb[i + k]) * 16777619u;
        lit += frame.rgb[i] || frame.rgb[i + 1] || frame.rgb[i + 2];
    }
    GLint depthBits = 0, alphaBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    glGetIntegerv(GL_ALPHA_BITS, &alphaBits);
    char view[64];
    std::snprintf(view, sizeof view, " view=%.4f,%.4f", double(viewAngleX), double(viewAngleY));
    std::string line = format("frame depth=%ld alpha=%ld", depthBits, alphaBits) +
                       (readsDestinationAlpha() ? " reads its alpha" : "") +
                       format(" fnv=%08lx lit=%ld", long(hash), lit) +
                       view + format(" side=%ld", frame.side) + " blocks=" + blockMeans(frame);
    static const POINT samples[] = {{256, 256}, {200, 200}, {300, 210}, {100, 400}, {400, 100}};
    for (POINT at : samples) {
        const unsigned char* p = frame.at(at.x, at.y);
        line += format(" (%ld,%ld)=", at.x, at.y) + format("%02lx%02lx%02lx", p[0], p[1], p[2]);
    }
    write(line);
}

// The main window, and the dialog or box the next step acts in when there is one.
void dumpState() {
    write(format("step %ld ", stepNumber) + lastAction);
    HWND main = mainWindow();
    if (!main) {
        write("main none");
        return;
    }
    std::string line = "main " + quotedTextOf(main) + rectOf(main);
    if (!IsWindowEnabled(main))
        line += " disabled";
    write(line);
    dumpMenuMarks(main);
    if (std::string path = openMenuPath(); !path.empty())
        write("menu open " + quoted(path.c_str()));
    for (HWND control : directChildren(main))
        dumpControl(control, "  ");
    if (HWND acting = actingWindow(); acting && acting != main)
        dumpDialog(acting);
    // Where the keys go: named by class, id and the window it belongs to, so that a focus
    // inside a system box (a combo box's own edit) shows too.
    HWND focus = focusedControl();
    if (!focus)
        write("focus none");
    else if (isFileNameField(focus)) // named in words: the system makes its own controls
        write("focus the file name field in " + quotedTextOf(GetAncestor(focus, GA_ROOT)));
    else if (GetWindowLongA(focus, GWL_STYLE) & WS_CHILD)
        write("focus " + classOf(focus) + format(" id=%ld in ", GetDlgCtrlID(focus)) +
              quotedTextOf(GetAncestor(focus, GA_ROOT)));
    else
        write("focus on the window " + quotedTextOf(focus));
    dumpFrame();
}

// Each tick dumps what the last action left and takes the next; after the last, the program
// is asked to quit. The timer's message comes only once the input before it is handled.
void CALLBACK onTick(HWND, UINT, UINT_PTR, DWORD) {
    static bool inTick = false; // an action never waits, but a dump must not be re-entered
    if (inTick || stepsLeft < 0)
        return;
    // A modal dialog is shown only once its loop finds the queue empty, and a due tick can come
    // first: the step waits for it (a while at most), as a person waits for a box to show.
    static int waited = 0;
    HWND focus = GetFocus();
    if (focus && !IsWindowVisible(GetAncestor(focus, GA_ROOT)) && ++waited < 50)
        return;
    waited = 0;
    inTick = true;
    dumpState();
    if (stepsLeft-- == 0) {
        write("end");
        PostQuitMessage(0);
    } else {
        ++stepNumber;
        lastAction = takeRandomStep(*session);
    }
    std::fflush(dumpFile);
    inTick = false;
}

} // namespace

int runScenario(HINSTANCE instance, const char* dumpPath, unsigned seed, long steps) {
    if (!writeSessionFiles())
        return 3;
    dumpFile = std::fopen(dumpPath, "wb");
    if (!dumpFile)
        return 3;
    SeededRandom generator(seed);
    session = &generator;
    stepsLeft = steps;
    write(format("seed %ld steps %ld", long(seed), steps));
    // The keypad types digits only with Num Lock on; a person turns it on first.
    if (!(GetKeyState(VK_NUMLOCK) & 1))
        pressKey(VK_NUMLOCK);
    SetTimer(nullptr, 0, 20, onTick);
    char commandLine[] = "";
    int result = WinMain(instance, nullptr, commandLine, SW_SHOWNORMAL);
    bool finished = stepsLeft < 0;
    write(finished ? "quit" : "stopped short");
    std::fclose(dumpFile);
    return finished ? result : 3;
}

bool readScenarioArguments(int argc, char** argv, unsigned* seed, long* steps) {
    char extra = 0;
    if (argc == 4 && std::sscanf(argv[2], "%u%c", seed, &extra) == 1 &&
        std::sscanf(argv[3], "%ld%c", steps, &extra) == 1 && *steps >= 0)
        return true;
    std::fprintf(stderr, "usage: %s DUMP_FILE SEED STEPS\n", argc > 0 ? argv[0] : "scenario_run");
    return false;
}
