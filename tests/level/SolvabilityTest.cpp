// How forgiving each solution is: every edited value swept over the settings the mouse reaches around it (a
// slider by fine steps of a quarter pixel, 1/352 of its range, and by one-pixel clicks, 1/88; a position by one
// unit), printing how many adjacent settings win: at least five fine steps and five clicks must, in every level
// (a level may narrow a turn slider's range so that its clicks are finer). Quick run: levels 1 and 2, four either side;
// QBN_FULL_SWEEP=1: all, eight.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "level/LevelSolutions.h"

using namespace qbntest;

namespace {

// A slider's track is 88 pixels; keys '4' and '6' move it a quarter pixel.
constexpr float kClickSteps = 88.0f;
constexpr float kFineSteps = kClickSteps * 4.0f;

class Solvability : public LevelPlayTest {
protected:
    // A line swept by slider steps within its range, by units of position, or not at all (size 0).
    struct Sweep {
        float size = 0.0f; // 0: not swept
        bool position = false;
        float min = 0.0f, max = 0.0f;
        float steps = kFineSteps; // per track
    };

    Sweep sweepOf(const Step& step, float steps = kFineSteps) {
        Sweep sweep;
        NodeGraphic* node = step.label ? object(step.object, step.nth) : nullptr;
        if (!node)
            return sweep;
        std::vector<MenuEntry> page;
        node->getMenuEntries(page, false);
        for (const MenuEntry& e : page) {
            if (e.label != step.label || e.type != NSMenu::TYPE_FLOAT)
                continue;
            if (e.kind == NSMenu::KIND_ACCELERATOR) {
                sweep.size = 1.0f;
                sweep.position = true;
            } else if (const auto* r = dynamic_cast<const NSMenu::ValueConstraintRange*>(e.constraint.get())) {
                sweep.size = (r->floatMax - r->floatMin) / steps;
                sweep.min = r->floatMin;
                sweep.max = r->floatMax;
                sweep.steps = steps;
            }
        }
        return sweep;
    }

    // One line of the solution, `times` over; false when the object refuses it.
    bool apply(const Step& step, float value) {
        NodeGraphic* node = object(step.object, step.nth);
        for (int i = 0; i < step.times; ++i) {
            const Vector3 before = node->getPosition();
            node->setMenuValue(step.label, Value::ofFloat(value));
            const bool position = std::string(step.label).rfind("Position", 0) == 0;
            if (position ? node->getPosition() == before
                         : std::fabs(node->getMenuValue(step.label).floatValue - value) > 1e-4f)
                return false;
        }
        return true;
    }

    // The solution with step `swept` moved k steps; false when that is out of range or refused.
    bool playWith(const Solution& solution, size_t swept, const Sweep& sweep, int k) {
        for (size_t i = 0; i < solution.steps.size(); ++i) {
            const Step& step = solution.steps[i];
            if (!step.label) {
                putOnSurface(object(step.object, step.nth), step.at);
                continue;
            }
            float value = step.value;
            if (i == swept && !sweep.position) {
                const float click = std::round((value - sweep.min) / sweep.size) + static_cast<float>(k);
                value = sweep.min + click * sweep.size;
                if (click < 0.0f || click > sweep.steps)
                    return false;
            }
            const bool isFlag = step.label == std::string("Enable Rollband");
            if (isFlag)
                object(step.object, step.nth)->setMenuValue(step.label, Value::ofBool(step.value != 0.0f));
            else if (!apply(step, value))
                return false;
            if (i == swept && sweep.position && k != 0) // k more units, as far as nothing is in the way
                object(step.object, step.nth)->setMenuValue(step.label, Value::ofFloat(k / 15.0f));
        }
        return true;
    }

    // The window of adjacent winning settings of every edited value, swept `reach` settings either side.
    std::map<std::string, int> sweep(const Solution& solution, int reach) {
        std::unique_ptr<Level> level(solution.make());
        std::set<std::string> seen;
        std::map<std::string, int> windows;
        for (size_t i = 0; i < solution.steps.size(); ++i) {
            const Step& step = solution.steps[i];
            if (!step.label)
                continue;
            const std::string name =
                std::string(step.object) + " #" + std::to_string(step.nth) + " " + step.label;
            if (!seen.insert(name).second)
                continue;
            level->build();
            std::vector<Sweep> grids{sweepOf(step), sweepOf(step, kClickSteps)};
            level->unload();
            if (grids[0].size == 0.0f)
                continue;
            if (grids[0].position)
                grids.pop_back(); // a unit is both a drag's step and the finest
            for (const Sweep& how : grids) {
                std::string marks; // '#' for a setting that wins
                for (int k = -reach; k <= reach; ++k) {
                    level->build();
                    marks += playWith(solution, i, how, k) && runUntilWon(*level, 1.0f / 60.0f, solution.limit) > 0.0f
                                 ? '#' : '.';
                    level->unload();
                }
                int lo = reach, hi = reach;
                while (marks[reach] == '#' && lo > 0 && marks[lo - 1] == '#')
                    --lo;
                while (marks[reach] == '#' && hi < 2 * reach && marks[hi + 1] == '#')
                    ++hi;
                const bool clicks = how.steps == kClickSteps;
                // Clicks: the longest run of winning pixels, which need not hold the fine solution's own.
                int run = 0, longest = 0;
                for (char m : marks)
                    longest = std::max(longest, run = m == '#' ? run + 1 : 0);
                const int window = clicks ? longest : (marks[reach] == '#' ? hi - lo + 1 : 0);
                std::printf("%s  %-34s %-5s step %.4f  window %2d (%+d..%+d)  %s\n", solution.level, name.c_str(),
                            clicks ? "click" : "fine", static_cast<double>(how.size), window, lo - reach, hi - reach,
                            marks.c_str());
                RecordProperty(std::string(solution.level) + " " + name + (clicks ? " clicks" : ""), window);
                windows[name + (clicks ? " clicks" : "")] = window;
            }
        }
        return windows;
    }
};

bool fullSweep() {
    const char* full = std::getenv("QBN_FULL_SWEEP");
    return full && std::string(full) == "1";
}

// QBN_SWEEP_LEVEL=Level03 sweeps that level alone.
bool skipped(const Solution& solution) {
    const char* only = std::getenv("QBN_SWEEP_LEVEL");
    return only && *only && solution.level != std::string(only);
}

} // namespace

TEST_F(Solvability, EveryEditedValueHasAWindowOfAtLeastFiveSettings) {
    const int reach = fullSweep() ? 8 : 4;
    for (const Solution& solution : solutions()) {
        if (skipped(solution) || (!fullSweep() && std::string(solution.level) > "Level02"))
            continue; // the quick run: the two levels a new player meets first
        for (const auto& value : sweep(solution, reach))
            EXPECT_GE(value.second, std::min(5, 2 * reach + 1)) << solution.level << " " << value.first;
    }
}

// The share of random settings that win (sliders anywhere on their clicks, positions within 20 units): at most
// one in five. 200 settings per level, QBN_DIFFICULTY_SAMPLES=2000 for the figures in docs/levels.md.
TEST_F(Solvability, DifficultyFigures) {
    if (!fullSweep())
        GTEST_SKIP() << "QBN_FULL_SWEEP=1 measures the difficulty figures";
    const char* asked = std::getenv("QBN_DIFFICULTY_SAMPLES");
    const int kSamples = asked && std::atoi(asked) > 0 ? std::atoi(asked) : 200;
    for (const Solution& solution : solutions()) {
        if (skipped(solution))
            continue;
        std::unique_ptr<Level> level(solution.make());
        unsigned long long state = 12345;
        auto unit = [&state] {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            return static_cast<float>(state >> 40) / static_cast<float>(1ull << 24);
        };
        int won = 0;
        for (int n = 0; n < kSamples; ++n) {
            level->build();
            std::map<std::string, float> drawn; // one draw per value
            bool ok = true;
            for (const Step& step : solution.steps) {
                if (!step.label) {
                    putOnSurface(object(step.object, step.nth), step.at);
                    continue;
                }
                const Sweep how = sweepOf(step);
                const std::string name = std::string(step.object) + std::to_string(step.nth) + step.label;
                NodeGraphic* node = object(step.object, step.nth);
                if (how.size == 0.0f) {
                    node->setMenuValue(step.label, Value::ofBool(step.value != 0.0f));
                } else if (how.position) {
                    apply(step, step.value);
                    if (!drawn.count(name)) {
                        drawn[name] = std::round(unit() * 40.0f - 20.0f);
                        node->setMenuValue(step.label, Value::ofFloat(drawn[name] / 15.0f));
                    }
                } else {
                    if (!drawn.count(name))
                        drawn[name] = how.min + std::round(unit() * 88.0f) * (how.max - how.min) / 88.0f;
                    Step random = step;
                    random.times = 1;
                    ok = ok && apply(random, drawn[name]);
                }
            }
            if (ok && runUntilWon(*level, 1.0f / 60.0f, solution.limit) > 0.0f)
                ++won;
            level->unload();
        }
        std::printf("%s  difficulty: %d of %d random settings win (%.1f %%)\n", solution.level, won, kSamples,
                    100.0 * won / kSamples);
        std::fflush(stdout);
        RecordProperty(std::string(solution.level) + " wins per 1000 random settings", won * 1000 / kSamples);
        EXPECT_LE(won * 5, kSamples) << solution.level << " is won by too many random settings";
    }
}
