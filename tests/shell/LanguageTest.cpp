// The texts a player sees, in every language the game ships: in the template, translated, fitting their place,
// readable against what is behind them.
#include <gtest/gtest.h>
#include <GL/gl.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "level/GameStateFixture.h"
#include "level/LevelScreens.h"
#include "level/Progress.h"
#include "menu/MenuItemInput.h"
#include "menu/MenuItemSlider.h"
#include "pages/Tour.h"
#include "resources/GLFont.h"
#include "shell/Language.h"
#include "shell/Log.h"
#include "support/GlContext.h"
#include "window/Window.h"

namespace fs = std::filesystem;
using NSMenu::Value;

namespace {

const std::string kLocaleDir = std::string(QBN_RUN_DIR) + "/locale";

// The msgids (and plural msgids) of a catalogue or template, unescaped (UTF-8); formats: those marked c-format.
std::set<std::string> msgids(const std::string& path, std::set<std::string>* formats = nullptr) {
    std::ifstream in(path);
    std::set<std::string> ids;
    std::string line, id;
    bool inId = false, cFormat = false;
    auto unquote = [](const std::string& s) {
        std::string out;
        for (size_t i = s.find('"') + 1; i + 1 < s.size(); ++i)
            out += s[i] == '\\' && ++i < s.size() ? (s[i] == 'n' ? '\n' : s[i]) : s[i];
        return out;
    };
    while (std::getline(in, line)) {
        if (inId && line.rfind("\"", 0) == 0) {
            id += unquote(line);
            continue;
        }
        if (inId && !id.empty() && ids.insert(id).second && cFormat && formats)
            formats->insert(id);
        inId = line.rfind("msgid", 0) == 0;
        cFormat = (cFormat && inId) || line.find("c-format") != std::string::npos;
        id = inId ? unquote(line) : "";
    }
    return ids;
}

// A printf format as a pattern its filled-in texts match.
std::regex patternOf(const std::string& format) {
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])"), conversion(R"(%[-+ #0-9.]*[lhz]*[dusfc])");
    return std::regex(std::regex_replace(std::regex_replace(format, special, "\\$&"), conversion, ".*"));
}

// Where a text is drawn: its font and the pixels from x to right; menu labels are fitted by their item.
enum FontKind { kPanelFont, kLabelFont, kValueFont, kPopUpFont };
struct Place {
    FontKind font;
    int x, right;
};
bool operator<(const Place& a, const Place& b) {
    return std::tie(a.font, a.x, a.right) < std::tie(b.font, b.x, b.right);
}

// The game's own levels and menu, toured in the language chosen.
class Language : public qbntest::GameStateTest, public NSTour::Visitor {
protected:
    std::vector<NSLevel::Level*> makeLevels() override { return NSLevel::makeBuiltInLevels(); }
    void TearDown() override {
        initLanguageIn("C", "");
        GameStateTest::TearDown();
    }
    void frame() override { GameStateTest::frame(); }
    void label(const std::string& label, unsigned kind) override {
        labels.insert({label, kind});
        text(label, NSTour::Where::Nowhere);
    }
    // A text as the catalogue knows it ("3 - Name" by the name; goal lines are numbers only), and where it is drawn.
    void text(const std::string& text, NSTour::Where where) override {
        static const std::regex numbered("^[0-9]* - (.*)$"), goal("^ID:[0-9]+ - ID:[0-9]+$");
        static const std::map<NSTour::Where, Place> places = {
            {NSTour::Where::MenuText, {kValueFont, 25, 155}},  {NSTour::Where::SwitchOn, {kValueFont, 43, 83}},
            {NSTour::Where::SwitchOff, {kValueFont, 103, 155}}, {NSTour::Where::Message, {kPopUpFont, 0, 800}},
            {NSTour::Where::PanelLine, {kPanelFont, 100, 625}}, {NSTour::Where::Title, {kPanelFont, 160, 625}},
            {NSTour::Where::OverlayButton, {kPanelFont, 13, 57}}, {NSTour::Where::HelpLine, {kPanelFont, 100, 800}},
        };
        std::smatch m;
        const std::string key = std::regex_match(text, m, numbered) ? m[1].str() : text;
        if (std::regex_match(text, goal) || key.empty())
            return;
        texts.insert(key);
        if (places.count(where))
            placed.insert({text, places.at(where)});
    }
    void command(const std::string& label, const Value& value = Value()) {
        menu->itemChanged(label, value);
        frame();
        NSTour::look(*menu, *this);
    }

    // Every page, message and pop-up of the levels, the editor and the window.
    void walk() {
        NSTour::tour(*menu, *levels, *scene, *this);
        command("Management...");
        command("Save Level"); // no name yet
        // Saving and loading work, then fail on names taken by folders.
        for (const char* name : {"lang", "_current"}) {
            menu->itemChanged("Levelname", Value::ofString(name));
            menu->findItem("Levelname")->setValue(Value::ofString(name));
            for (const char* file : {"Save Level", "Save Scene", "Load Level", "Load Scene"})
                command(file);
            levels->saveCurrent();
            NSTour::look(*menu, *this);
            levels->loadCurrent();
            NSTour::look(*menu, *this);
            fs::remove_all("levels");
            for (const char* taken : {"levels/_current.lvl", "levels/_current.lvs"})
                fs::create_directories(taken);
        }
        // The editor keeps its level at every change of mode; a restart brings it back.
        fs::remove_all("levels");
        command("Start Test");
        command("Stop Test");
        start(true);
        menu->setLevelMode(false);
        command("Management...");
        NSWindow::Window window;
        window.onReshape(800, 600);
        window.init(false);
        window.applyPendingChanges();
        NSTour::windowTour(window, *this);
    }

    std::set<std::string> texts;                      // what the game asks the catalogue for (Latin-1)
    std::set<std::pair<std::string, Place>> placed;   // texts by the place they are drawn at
    std::set<std::pair<std::string, unsigned>> labels; // menu labels by entry kind
};

// Every text shown is in the template, directly or as a format, and every catalogue has the template's texts.
// QBN_POT_OUT=file writes the texts that match no format into a template (po/update.sh); a plain text that
// looks like a filled-in format ("Level loaded; undo history cleared") is kept in po/manual.pot.
TEST_F(Language, EveryShownTextIsInTheTemplateAndTranslated) {
    walk();
    ASSERT_GT(texts.size(), 200u);
    std::set<std::string> formats;
    const std::set<std::string> known = msgids(std::string(QBN_SOURCE_DIR) + "/po/quibbleton.pot", &formats);
    msgids(std::string(QBN_SOURCE_DIR) + "/po/manual.pot", &formats); // the formats before the template has them
    EXPECT_GT(formats.size(), 10u);
    std::ofstream pot(std::getenv("QBN_POT_OUT") ? std::getenv("QBN_POT_OUT") : "/dev/null");
    for (const std::string& text : texts) {
        const std::string key = latin1ToUtf8(text);
        bool filled = false;
        for (const std::string& format : formats)
            filled = filled || std::regex_match(key, patternOf(format));
        if (filled)
            continue;
        EXPECT_TRUE(known.count(key)) << "not in po/quibbleton.pot (run po/update.sh): " << key;
        std::string quoted;
        for (char c : key)
            quoted += c == '\n' ? std::string("\\n\"\n\"") : c == '"' ? std::string("\\\"") : std::string(1, c);
        pot << "msgid \"" << (key.find('\n') != std::string::npos ? "\"\n\"" : "") << quoted << "\"\nmsgstr \"\"\n\n";
    }
    for (const char* lang : {"de", "en"})
        EXPECT_EQ(msgids(std::string(QBN_SOURCE_DIR) + "/po/" + lang + ".po"), known) << lang;
}

// In both languages every line ends inside its place (panel lines before the menu column), no menu label is cut
// short, no message is wider than the window.
TEST_F(Language, TextsFitTheirPlaceInEveryLanguage) {
    auto* panelFont = dynamic_cast<NSGraphic::GLFontBitmap*>(screens.getLabelFont());
    auto* labelFont = dynamic_cast<NSGraphic::GLFontBitmap*>(menu->getLabelFont(true));
    auto* valueFont = dynamic_cast<NSGraphic::GLFontBitmap*>(menu->getValueFont(true));
    auto* popUpFont = dynamic_cast<NSGraphic::GLFontOutline*>(screens.getTextFont());
    ASSERT_TRUE(panelFont && labelFont && valueFont && popUpFont);
    auto width = [&](FontKind font, const std::string& text) {
        return font == kPanelFont   ? panelFont->textWidth(text)
               : font == kLabelFont ? labelFont->textWidth(text)
               : font == kValueFont ? valueFont->textWidth(text)
                                    : int(std::ceil(30.0f * popUpFont->textWidth(text)));
    };
    for (const char* lang : {"de", "en"}) {
        initLanguageIn(lang, kLocaleDir);
        texts.clear();
        placed.clear();
        walk();
        for (const auto& [text, place] : placed) {
            std::stringstream lines(tr(text));
            for (std::string line; std::getline(lines, line);)
                EXPECT_LE(place.x + width(place.font, line), place.right) << lang << ": " << line;
        }
        for (const auto& [label, kind] : labels) {
            std::unique_ptr<NSMenu::MenuItem> item(NSMenu::createMenuItem(kind, menu.get()));
            if (!item)
                continue;
            item->setLabel(label);
            EXPECT_FALSE(item->isLabelClipped()) << lang << ": cut short: " << item->shownLabel() << " (" << kind << ")";
        }
    }
}

// The information panel's lines stay inside it in both languages, in an 800 x 600 window at scale 1 and at
// scale 2 (400 x 300 units): wrapped left of the menu column or, where that is too narrow, of the window's edge;
// a text taller than the window scrolls with the wheel until its last line shows.
TEST_F(Language, PanelLinesStayInsideThePanelAtEveryScale) {
    NSLevel::LevelInfo* info = levels->getInfo();
    auto* font = dynamic_cast<NSGraphic::GLFontBitmap*>(info->getLabelFont());
    ASSERT_TRUE(font);
    int scrolls = 0;
    for (const char* lang : {"de", "en"})
        for (const auto& [width, height, right] : {std::make_tuple(800, 600, 625), std::make_tuple(400, 300, 390)}) {
            initLanguageIn(lang, kLocaleDir);
            screens.setLayout(NSWindow::ItemLayout(0, 0, width, height)), screens.applyPendingChanges();
            for (unsigned i = 0; i < levels->levelCount(); ++i) {
                levels->selectLevel(i), frame();
                SCOPED_TRACE(std::string(lang) + " " + std::to_string(width) + ", level " + std::to_string(i + 1));
                std::vector<NSLevel::PanelLine> lines = info->layout();
                ASSERT_GT(lines.size(), 3u);
                EXPECT_EQ(info->rightEdge(), right);
                for (const NSLevel::PanelLine& line : lines)
                    EXPECT_LE(line.x + font->textWidth(line.text), right) << line.text;
                EXPECT_EQ(lines.back().kind, NSLevel::PanelLine::Text);
                EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [&](auto& l) { return l.y == info->textTop(); }), 1);
                for (int notch = 0; notch < 40; ++notch)
                    info->mouseButton(NSWindow::kWheelDownButton, 0, 0, 200, 200);
                lines = info->layout();
                const bool scrolled = std::none_of(lines.begin(), lines.end(), [&](auto& l) { return l.y == info->textTop(); });
                EXPECT_LE(lines.back().y, info->textBottom());
                EXPECT_TRUE(!scrolled || lines.back().y > info->textBottom() - 20) << "scrolled past the end";
                scrolls += scrolled;
            }
        }
    EXPECT_GE(scrolls, 2); // level 1's text in both languages at scale 2
}

// The panels, the win screen and the messages stay readable over the brightest and the darkest scene: the text's
// colour against what is drawn behind it has a contrast ratio of at least 4.5.
TEST_F(Language, TextsStandOutFromWhatIsBehindThem) {
    auto luminance = [](const unsigned char* p) {
        double sum = 0.0;
        for (int i = 0; i < 3; ++i) {
            const double c = p[i] / 255.0;
            sum += (i == 0 ? 0.2126 : i == 1 ? 0.7152 : 0.0722) * (c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
        return sum;
    };
    // The two most frequent colours of a strip of the window: the ground and the text on it.
    auto contrast = [&](int x, int y, int w, int h) {
        const std::vector<unsigned char> px = qbntest::readPixels(x, 600 - y - h, w, h);
        std::map<std::array<unsigned char, 3>, int> count;
        for (size_t i = 0; i + 2 < px.size(); i += 3)
            ++count[{px[i], px[i + 1], px[i + 2]}];
        std::vector<std::pair<int, std::array<unsigned char, 3>>> byCount;
        for (const auto& [colour, n] : count)
            byCount.push_back({n, colour});
        std::sort(byCount.rbegin(), byCount.rend());
        if (byCount.size() < 2)
            return 0.0;
        const double a = luminance(byCount[0].second.data()), b = luminance(byCount[1].second.data());
        return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
    };
    screens.setLayout(NSWindow::ItemLayout(0, 0, 800, 600));
    screens.applyPendingChanges();
    for (unsigned i = 0; i <= levels->levelCount(); ++i) {
        if (i < levels->levelCount())
            levels->selectLevel(i);
        GameStateTest::frame();
        for (float behind : {0.0f, 1.0f}) {
            glClearColor(behind, behind, behind, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            SCOPED_TRACE("level " + std::to_string(i + 1) + (behind > 0.5f ? " over white" : " over black"));
            if (i == levels->levelCount()) {
                levels->getWinScreen()->draw();
                EXPECT_GE(contrast(110, 88, 400, 18), 4.5) << "win screen";
                continue;
            }
            levels->getInfo()->draw();
            EXPECT_TRUE(levels->currentLevel()->getName().empty() || contrast(160, 50, 465, 18) >= 4.5) << "title";
            EXPECT_GE(contrast(100, 88, 525, 18), 4.5) << "text";
            EXPECT_GE(contrast(28, 87, 40, 16), 4.5) << "button";
        }
    }
}

// The command line over the environment, LANGUAGE over LC_ALL over LC_MESSAGES over LANG; the C locale shows
// the game's own texts ('c'), a language without a catalogue the English one.
TEST(LanguageChoice, OrderOfTheChoicesAndTheFallback) {
    const std::string back = "Back", level1 = "Die Bombe und der Swimminpool (Teil 1)";
    const struct {
        const char *code, *language, *all, *messages, *lang;
        char shown;
    } cases[] = {
        {"de", "", "", "", "C", 'd'},
        {"en", "de", "de_DE.UTF-8", "", "de_DE.UTF-8", 'e'},
        {"C", "", "", "", "de_DE.UTF-8", 'c'},
        {"fr", "", "", "", "de_DE.UTF-8", 'e'},
        {nullptr, "", "", "", "de_DE.UTF-8", 'd'},
        {nullptr, "en:de", "", "", "fr_FR.UTF-8", 'e'},
        {nullptr, "de", "en_GB.UTF-8", "", "", 'd'},
        {nullptr, "", "en_GB.UTF-8", "de_DE.UTF-8", "de_DE.UTF-8", 'e'},
        {nullptr, "", "", "de_DE.UTF-8", "en_GB.UTF-8", 'd'},
        {nullptr, "de", "C", "", "de_DE.UTF-8", 'c'},
        {nullptr, "", "", "", "C", 'c'},
        {nullptr, "", "", "", "fr_FR.UTF-8", 'e'},
        {nullptr, "", "", "", "pt_BR.UTF-8", 'e'},
        {nullptr, "pt:fr", "", "", "pt_PT.UTF-8", 'e'},
    };
    const char* const names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    std::map<std::string, std::string> saved;
    for (const char* name : names)
        saved[name] = std::getenv(name) ? std::getenv(name) : "";
    for (const auto& c : cases) {
        const char* const values[] = {c.language, c.all, c.messages, c.lang};
        for (int i = 0; i < 4; ++i)
            setenv(names[i], values[i], 1);
        initLanguageIn(c.code, kLocaleDir);
        SCOPED_TRACE(std::string(c.code ? c.code : "-") + " " + c.language + " " + c.all + " " + c.messages + " " + c.lang);
        EXPECT_EQ(tr("0 - " + back), c.shown == 'd' ? "0 - Zur\xFC" "ck" : "0 - Back");
        EXPECT_TRUE(c.shown == 'd' || (tr(level1) == level1) == (c.shown == 'c')) << "English, or the game's own texts";
    }
    EXPECT_EQ(tr(""), "");
    for (const auto& [name, value] : saved)
        setenv(name.c_str(), value.c_str(), 1);
    initLanguageIn("C", kLocaleDir);
}

// Numbers wear the language's decimal mark, in the menu's number fields too; counts take the language's form for
// one or many; a switch says on or off in words of the language.
TEST(LanguageChoice, NumbersAndCountsReadAsTheLanguageWritesThem) {
    const struct { const char* code; double value; int decimals; const char* shown; } cases[] = {
        {"de", 7.5, 1, "7,5"}, {"de", -18.0, 0, "-18"}, {"en", 7.5, 2, "7.50"},
        {"C", 7.45, 2, "7.45"}, {"en", -0.01, 1, "0.0"}, {"de", -0.04, 1, "0,0"}, {"fr", 2.25, 2, "2.25"},
    };
    NSMenu::MenuItemInput field(nullptr);
    field.setType(NSMenu::TYPE_FLOAT);
    for (const auto& c : cases) {
        initLanguageIn(c.code, kLocaleDir);
        EXPECT_EQ(formatDecimal(c.value, c.decimals), c.shown) << c.code << " " << c.value;
        field.setValue(Value::ofFloat(float(c.value)));
        EXPECT_EQ(field.shownText(), formatDecimal(c.value, 3)) << c.code << " " << c.value;
    }
    NSMenu::MenuItemSlider slider(nullptr); // a switch drawn as a slider says it in words too
    slider.setType(NSMenu::TYPE_BOOL);
    for (const auto& [code, on, off] : {std::make_tuple("de", "an", "aus"), std::make_tuple("en", "on", "off"),
                                        std::make_tuple("C", "true", "false")}) {
        initLanguageIn(code, kLocaleDir);
        EXPECT_EQ(tr("true") + "/" + tr("false"), std::string(on) + "/" + off) << code;
        for (bool value : {true, false}) {
            slider.setValue(Value::ofBool(value));
            EXPECT_EQ(slider.valueText(), value ? on : off) << code;
        }
    }
    const struct { const char* code; unsigned runs; const char* shown; } wins[] = {
        {"de", 1, "Geschafft in 7,50 s beim ersten Versuch"}, {"de", 3, "Geschafft in 7,50 s nach 3 Versuchen"},
        {"en", 3, "Won in 7.50 s after 3 runs"}, {"C", 2, "Won in 7.50 s after 2 runs"},
    };
    for (const auto& w : wins) {
        initLanguageIn(w.code, kLocaleDir);
        NSLevel::LevelProgress won;
        won.winSeconds = 7.5;
        won.winRuns = w.runs;
        EXPECT_EQ(NSLevel::describeWin(won), w.shown) << w.code;
    }
    initLanguageIn("C", kLocaleDir);
}

} // namespace
