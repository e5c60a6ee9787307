// How forgiving each level's solution is: every value the solution edits is
// swept over the settings the mouse can reach around it (a slider click moves
// 1/88 of the slider's range, a position moves by one unit, about a pixel of
// handle drag), the other values staying at the solution, and the test prints
// how many adjacent settings win. A player who is near the solution must not
// need to hit a single point: at least five adjacent settings win.
//
// The quick run sweeps two settings either side of every value; the full
// sweep (QBN_FULL_SWEEP=1, CTest's level.solvability, labelled slow) eight.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "level/LevelSolutions.h"

using namespace qbntest;

namespace {

class Solvability : public LevelPlayTest {
protected:
    // How a line's value is swept: by slider clicks within its range, by
    // units of position, or not at all (a switch, a CTRL+click).
    struct Sweep {
        float size = 0.0f; // 0: not swept
        bool position = false;
        float min = 0.0f, max = 0.0f;
    };

    Sweep sweepOf(const Step& step) {
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
                sweep.size = (r->floatMax - r->floatMin) / 88.0f;
                sweep.min = r->floatMin;
                sweep.max = r->floatMax;
            }
        }
        return sweep;
    }

    // Plays the solution with the value of step `swept` moved k steps;
    // false when that setting lies outside the line's range.
    bool playWith(const Solution& solution, size_t swept, const Sweep& sweep, int k) {
        for (size_t i = 0; i < solution.steps.size(); ++i) {
            Step step = solution.steps[i];
            if (!step.label) {
                putOnSurface(object(step.object, step.nth), step.at);
                continue;
            }
            if (i == swept && !sweep.position) {
                // A setting the slider cannot reach, or one the object
                // refuses (it would push into another), does not count.
                const float value = step.value + static_cast<float>(k) * sweep.size;
                NodeGraphic* node = object(step.object, step.nth);
                if (value < sweep.min - 1e-4f || value > sweep.max + 1e-4f)
                    return false;
                node->setMenuValue(step.label, Value::ofFloat(value));
                if (std::fabs(node->getMenuValue(step.label).floatValue - value) > 1e-4f)
                    return false;
                continue;
            }
            play(step);
            if (::testing::Test::HasFatalFailure())
                return false;
            if (i == swept && sweep.position && k != 0) // k more units, as far as nothing is in the way
                object(step.object, step.nth)->setMenuValue(step.label, Value::ofFloat(k / 15.0f));
        }
        return true;
    }

    // Sweeps every edited value of the solution `reach` settings either
    // side; returns the smallest window of adjacent winning settings.
    int sweep(const Solution& solution, int reach) {
        std::unique_ptr<Level> level(solution.make());
        std::set<std::string> seen;
        int smallest = 1 << 30;
        for (size_t i = 0; i < solution.steps.size(); ++i) {
            const Step& step = solution.steps[i];
            if (!step.label)
                continue;
            const std::string name =
                std::string(step.object) + " #" + std::to_string(step.nth) + " " + step.label;
            if (!seen.insert(name).second)
                continue;
            level->build();
            const Sweep how = sweepOf(step);
            level->unload();
            if (how.size == 0.0f)
                continue;
            std::vector<bool> wins;
            for (int k = -reach; k <= reach; ++k) {
                level->build();
                bool won = false;
                if (playWith(solution, i, how, k))
                    won = runUntilWon(*level, 1.0f / 60.0f, solution.limit) > 0.0f;
                level->unload();
                wins.push_back(won);
            }
            int lo = reach, hi = reach;
            if (wins[reach]) {
                while (lo > 0 && wins[lo - 1])
                    --lo;
                while (hi < 2 * reach && wins[hi + 1])
                    ++hi;
            }
            const int window = wins[reach] ? hi - lo + 1 : 0;
            std::string marks;
            for (bool w : wins)
                marks += w ? '#' : '.';
            std::printf("%s  %-34s step %.4f  window %2d (%+d..%+d)  %s\n", solution.level, name.c_str(),
                        static_cast<double>(how.size), window, lo - reach, hi - reach,
                        marks.c_str());
            RecordProperty(std::string(solution.level) + " " + name, window);
            smallest = std::min(smallest, window);
        }
        return smallest;
    }
};

bool fullSweep() {
    const char* full = std::getenv("QBN_FULL_SWEEP");
    return full && std::string(full) == "1";
}

} // namespace

// Every level: at least five adjacent settings win along every edited
// value (two either side in the quick run).
TEST_F(Solvability, EveryEditedValueHasAWindowOfAtLeastFiveSettings) {
    const int reach = fullSweep() ? 8 : 2;
    for (const Solution& solution : solutions()) {
        if (!fullSweep() && std::string(solution.level) > "Level02")
            continue; // the quick run: the two levels a new player meets first
        EXPECT_GE(sweep(solution, reach), 5) << solution.level;
    }
}
