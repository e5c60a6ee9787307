// The texts a player sees, in every language the game ships: in the template, translated, fitting their place.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "level/ControllerLevel.h"
#include "level/LevelCustom.h"
#include "editable/EditorMode.h"
#include "menu/Menu.h"
#include "menu/MenuItem.h"
#include "objects/ObjectCatalogue.h"
#include "physics/ControllerPhysics.h"
#include "resources/GLFont.h"
#include "scene/Scene.h"
#include "objects/NodeGraphic.h"
#include "shell/Language.h"
#include "shell/Log.h"
#include "window/Window.h"
#include "window/WindowTempPopUp.h"
#include "level/GameStateFixture.h"

namespace fs = std::filesystem;
using NSMenu::Value;

namespace {

const std::string kLocaleDir = std::string(QBN_RUN_DIR) + "/locale";

// The msgids of a catalogue or template, unescaped (UTF-8).
std::set<std::string> msgids(const std::string& path) {
    std::ifstream in(path);
    std::set<std::string> ids;
    std::string line, id;
    bool inId = false;
    auto unquote = [](const std::string& s) {
        std::string out;
        for (size_t i = s.find('"') + 1; i + 1 < s.size(); ++i) {
            if (s[i] == '\\' && ++i < s.size())
                out += s[i] == 'n' ? '\n' : s[i] == 't' ? '\t' : s[i];
            else
                out += s[i];
        }
        return out;
    };
    while (std::getline(in, line)) {
        if (line.rfind("msgid ", 0) == 0) {
            id = unquote(line);
            inId = true;
        } else if (inId && line.rfind("\"", 0) == 0) {
            id += unquote(line);
        } else if (inId) {
            if (!id.empty())
                ids.insert(id);
            inId = false;
        }
    }
    return ids;
}

// The game's own levels and menu.
class Language : public qbntest::GameStateTest {
protected:
    std::vector<NSLevel::Level*> makeLevels() override { return NSLevel::makeBuiltInLevels(); }
    void TearDown() override {
        initLanguageIn("C", "");
        GameStateTest::TearDown();
    }
    void frame() {
        scene->step(0.0f, 0.0f);
        menu->update();
        levels->update();
        screens.applyPendingChanges();
    }
    // Runs a menu command and keeps the page it leads to and its pop-up.
    void command(const std::string& label, const Value& value = Value()) {
        menu->itemChanged(label, value);
        frame();
        collectPage();
        collectPopUp();
    }
    void collectPage() { collect(menu->pageEntries()); }
    void collectPopUp() {
        if (auto* popUp = NSWindow::WindowTempPopUp::current())
            add(popUp->getText());
    }
    void collect(const std::vector<NSMenu::MenuEntry>& entries) {
        for (const auto& entry : entries) {
            add(entry.label);
            shown.insert({entry.label, entry.kind});
            if (entry.kind == NSMenu::KIND_TEXT) {
                add(entry.value.stringValue);
                shown.insert({entry.value.stringValue, entry.kind});
            }
        }
    }
    // A label as the catalogue knows it: "3 - Name" by the name; goal lines are numbers only.
    void add(const std::string& text) {
        static const std::regex numbered("^[0-9]* - (.*)$"), goal("^ID:[0-9]+ - ID:[0-9]+$");
        std::smatch m;
        if (std::regex_match(text, goal))
            return;
        const std::string key = std::regex_match(text, m, numbered) ? m[1].str() : text;
        if (!key.empty())
            texts.insert(latin1ToUtf8(key));
    }

    // Every page and message of the editor and of the levels.
    void collectEverything() {
        for (const char* fixed : {"PLAY", "NEXT", "BACK", "SAVE", "Back to current level",
                                  "Advance to next level", "Levelnamen eingeben:",
                                  "Beschreibung f\xFCr Level eingeben:", "true", "false"})
            add(fixed);
        add(NSWindow::technicalHelpText);
        for (unsigned i = 0; i < levels->levelCount(); ++i) {
            levels->selectLevel(i);
            frame();
            add(levels->currentLevel()->getName());
            add(levels->currentLevel()->getInfoText());
            collectPage();
            for (NSNode::NodeTransform* node : scene->getRoot()->getChildren())
                if (auto* object = dynamic_cast<NSNode::NodeGraphic*>(node)) {
                    add(object->getName());
                    std::vector<NSMenu::MenuEntry> list;
                    object->getMenuEntries(list, false);
                    collect(list);
                }
        }
        menu->setLevelMode(false);
        frame();
        collectPage();
        const auto& physics = NSPhysical::ControllerPhysics::instance();
        for (const auto& kind : NSObjects::creationList()) {
            command(kind.first);
            add(kind.first);
            for (const char* page : {"Attach Object...", "Constraints..."}) {
                command(page);
                command("Back");
            }
            for (const auto& [page, types] : {std::make_pair("Physics...", physics.getPhysicsTypes()),
                                              std::make_pair("Properties...", physics.getPropertyTypes())}) {
                command(page);
                for (const auto& type : types) {
                    command(type.first);
                    command("Back");
                }
                command("Back");
            }
            scene->select(nullptr);
            frame();
        }
        command("Edit Room");
        scene->select(nullptr);
        frame();
        command("Management...");
        command("Save Level");  // no name yet
        // Saving and loading work, then fail on names taken by folders.
        for (const char* name : {"lang", "_current"}) {
            menu->itemChanged("Levelname", Value::ofString(name));
            menu->findItem("Levelname")->setValue(Value::ofString(name));
            for (const char* file : {"Save Level", "Save Scene", "Load Level", "Load Scene"})
                command(file);
            levels->saveCurrent();
            collectPopUp();
            levels->loadCurrent();
            collectPopUp();
            fs::remove_all("levels");
            for (const char* taken : {"levels/_current.lvl", "levels/_current.lvs"})
                fs::create_directories(taken);
        }
        command("Goals...");
        command("ID 1", Value::ofInt(1));
        command("ID 2", Value::ofInt(2));
        command("Add Goal");
        command("Back");
        command("Back");
        command("Start Test");
        command("Stop Test");
        // The display settings and the camera cross.
        for (bool on : {true, false}) {
            for (auto set : {&NSScene::Scene::setCulling, &NSScene::Scene::setTransparency,
                             &NSScene::Scene::setDisplayLists, &NSScene::Scene::setVertexArrays}) {
                ((*scene).*set)(on);
                collectPopUp();
            }
            scene->keyPressed('c', 0, false);
            collectPopUp();
        }
        for (int mode = 0; mode < 3; ++mode)
            for (int quality = 0; quality < 2; ++quality) {
                scene->setMipmapMode(mode);
                scene->setTextureQuality(quality);
                collectPopUp();
            }
    }

    std::set<std::string> texts;                        // UTF-8, as in the catalogues
    std::set<std::pair<std::string, unsigned>> shown; // menu texts (Latin-1) by entry kind
};

// Every text shown is in the template and translated. QBN_POT_OUT=file writes the template (po/update.sh).
TEST_F(Language, EveryShownTextIsInTheTemplateAndTranslated) {
    collectEverything();
    ASSERT_GT(texts.size(), 200u);
    if (const char* out = std::getenv("QBN_POT_OUT")) {
        std::ofstream pot(out);
        for (const std::string& text : texts) {
            std::string quoted;
            for (char c : text)
                quoted += c == '\n' ? std::string("\\n\"\n\"") : c == '"' ? std::string("\\\"") : std::string(1, c);
            pot << "msgid \"" << (text.find('\n') != std::string::npos ? "\"\n\"" : "") << quoted
                << "\"\nmsgstr \"\"\n\n";
        }
    }
    const std::set<std::string> known = msgids(std::string(QBN_SOURCE_DIR) + "/po/quibbleton.pot");
    for (const std::string& text : texts)
        EXPECT_TRUE(known.count(text)) << "not in po/quibbleton.pot (run po/update.sh): " << text;
    for (const char* lang : {"de", "en"})
        EXPECT_EQ(msgids(std::string(QBN_SOURCE_DIR) + "/po/" + lang + ".po"), known) << lang;
}

// Panel lines (from x = 100) end before the menu column at 630; labels and buttons fit their items.
TEST_F(Language, TextsFitTheirPlaceInEveryLanguage) {
    auto* panelFont = dynamic_cast<NSGraphic::GLFontBitmap*>(screens.getLabelFont());
    auto* labelFont = dynamic_cast<NSGraphic::GLFontBitmap*>(menu->getLabelFont(true));
    auto* valueFont = dynamic_cast<NSGraphic::GLFontBitmap*>(menu->getValueFont(true));
    ASSERT_TRUE(panelFont && labelFont && valueFont);
    collectEverything();
    for (const char* lang : {"de", "en"}) {
        initLanguageIn(lang, kLocaleDir);
        for (unsigned i = 0; i < levels->levelCount(); ++i) {
            levels->selectLevel(i);
            frame();
            NSLevel::Level* level = levels->currentLevel();
            std::stringstream lines(tr(level->getInfoText()));
            for (std::string line; std::getline(lines, line);)
                EXPECT_LE(100 + panelFont->textWidth(line), 625) << lang << ", level " << i + 1 << ": " << line;
            EXPECT_LE(160 + panelFont->textWidth(tr(level->getName())), 625) << lang << ": " << level->getName();
        }
        // The overlays' 64 pixel buttons frame their text from 13 to 57.
        for (const char* button : {"PLAY", "NEXT", "BACK", "SAVE"})
            EXPECT_LE(13 + panelFont->textWidth(tr(button)), 57) << lang << ": " << tr(button);
        for (const auto& [text, kind] : shown) {
            const std::string seen = tr(text);
            if (kind == NSMenu::KIND_BUTTON)
                EXPECT_LE(20 + valueFont->textWidth(seen), 141) << lang << ": button " << seen;
            else if (kind == NSMenu::KIND_TEXT)
                EXPECT_LE(25 + valueFont->textWidth(seen), 155) << lang << ": " << seen;
            else
                EXPECT_LE(8 + labelFont->textWidth(seen), 155) << lang << ": " << seen;
        }
    }
}

// The command line first, then the environment; "C" or no catalogue shows the game's own texts.
TEST(LanguageChoice, OverrideEnvironmentAndFallback) {
    const std::string back = "Back", level1 = "Die Bombe und der Swimminpool (Teil 1)";
    struct Case {
        const char* code;
        const char* language;
        const char* lang;
        std::string back;
    } cases[] = {
        {"de", "", "C", "Zur\xFC" "ck"},
        {"en", "de", "de_DE.UTF-8", "Back"},
        {nullptr, "", "de_DE.UTF-8", "Zur\xFC" "ck"},
        {nullptr, "en:de", "fr_FR.UTF-8", "Back"},
        {nullptr, "de", "C", "Back"},
        {"C", "", "de_DE.UTF-8", "Back"},
        {"fr", "", "C", "Back"},
    };
    const std::string lang = std::getenv("LANG") ? std::getenv("LANG") : "";
    for (const Case& c : cases) {
        setenv("LANGUAGE", c.language, 1);
        setenv("LANG", c.lang, 1);
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
        initLanguageIn(c.code, kLocaleDir);
        EXPECT_EQ(tr(back), c.back) << (c.code ? c.code : "-") << " " << c.language << " " << c.lang;
        EXPECT_EQ(tr("0 - " + back), "0 - " + c.back);
    }
    initLanguageIn("en", kLocaleDir);
    EXPECT_NE(tr(level1), level1);
    EXPECT_EQ(tr(""), "");
    initLanguageIn("C", kLocaleDir);
    EXPECT_EQ(tr(level1), level1);
    setenv("LANG", lang.c_str(), 1);
}

} // namespace
