// The session's actions in the three modal dialogs, each with what the program must show
// after it.
#include "tests/systems/soak/random_session.h"

#include <filesystem>
#include <memory>

#include "panel/panel.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "tests/systems/soak/session_helpers.h"

using scene::Polygon;

namespace soak {

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
                 headless::click(dialogItem(dialog, IDCANCEL));
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
    int roll = random_.below(100);
    if (roll < 99) {
        FileKind kind = roll < 50   ? FileKind::Valid
                        : roll < 60 ? FileKind::NotPowerOfTwo
                        : roll < 70 ? FileKind::OtherDepth
                        : roll < 97 ? FileKind::Hostile
                                    : FileKind::Missing;
        const std::vector<SoakFile>& candidates = files_.ofKind(kind);
        const SoakFile& file = candidates[size_t(random_.below(int(candidates.size())))];
        headless::queueFileChoice(file.path);
        note(format("Browse: %s file %s", kindName(kind), file.name.c_str()));
    } else {
        headless::queueFileCancel();
        note("Browse: cancel the file chooser");
    }
    const Polygon* polygon = currentPolygon;
    Image before = polygon->image;
    size_t choosers = headless::fileChooserCalls().size();
    size_t lines = headless::items(dialogItem(dialog, idImageDetails)).size();
    headless::click(dialogItem(dialog, idBrowse));

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
        std::vector<std::string> details = headless::items(dialogItem(dialog, idImageDetails));
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
    size_t lines = headless::items(dialogItem(dialog, idImageDetails)).size();
    headless::pressKey(nullptr, VK_RETURN);
    note("Enter on Browse, then cancel the file chooser");
    prediction_.settle = [choosers, lines, dialog] {
        const auto& calls = headless::fileChooserCalls();
        if (calls.size() != choosers + 1 || calls.back().result)
            return std::string("Enter on Browse did not show the file chooser once");
        if (headless::items(dialogItem(dialog, idImageDetails)).size() != lines)
            return std::string("a cancelled file chooser added details");
        return std::string();
    };
}

void RandomSession::pickFilter(HWND dialog) {
    bool minifying = random_.percent(50);
    int index = random_.below(2);
    headless::pickComboItem(dialogItem(dialog, minifying ? idMinFilter : idMagFilter), index);
    note(format("pick %s in the %s Filter list", index ? "GL_LINEAR" : "GL_NEAREST",
                minifying ? "Min" : "Mag"));
}

void RandomSession::pressTextureOk(HWND dialog, bool byEnter) {
    const Polygon* polygon = currentPolygon;
    int minIndex = headless::selection(dialogItem(dialog, idMinFilter));
    int magIndex = headless::selection(dialogItem(dialog, idMagFilter));
    if (byEnter)
        headless::pressKey(nullptr, VK_RETURN);
    else
        headless::click(dialogItem(dialog, IDOK));
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
    HWND edit = dialogItem(dialog, idNewName);
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
                               headless::click(dialogItem(dialog, IDOK));
                               closing(true, "click OK");
                           }});
        choices.push_back({6, "rename Cancel", [&] {
                               headless::click(dialogItem(dialog, IDCANCEL));
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
                               headless::click(dialogItem(dialog, IDOK));
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
                                   headless::click(dialogItem(dialog, idVersionHistory));
                                   note("click the version history in About");
                               }});
    }
    choose(choices);
}

} // namespace soak
