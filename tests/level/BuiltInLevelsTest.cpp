// The built-in levels won through the side menu and the view at 15 to 144 fps and jittered frames, the same
// runs ending bit for bit the same at any frame rate, and level 3's board falling.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "level/LevelSolutions.h"
#include "level/Simulator.h"

using namespace NSLevel;
using namespace qbntest;

namespace {
class BuiltInLevels : public LevelPlayTest {};
} // namespace

// Frames of 1/15 to 1/144 s, drawn reproducibly from a seed (splitmix64).
static std::function<float()> jitteredFrames(unsigned long long seed) {
    return [state = seed]() mutable {
        state += 0x9E3779B97F4A7C15ull;
        unsigned long long z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        const float unit = static_cast<float>(z >> 40) / static_cast<float>(1ull << 24);
        return 1.0f / 144.0f + unit * (1.0f / 15.0f - 1.0f / 144.0f);
    };
}

TEST_F(BuiltInLevels, LevelsAreWonByWhatAPlayerCanDoAtAnyFrameRate) {
    std::vector<std::pair<std::string, std::function<float()>>> rates;
    for (int fps : {15, 20, 30, 60, 120, 144})
        rates.emplace_back(std::to_string(fps) + " fps", [fps] { return 1.0f / static_cast<float>(fps); });
    for (unsigned long long seed : {3ull, 17ull, 2026ull})
        rates.emplace_back("jittered frames, seed " + std::to_string(seed), jitteredFrames(seed));
    for (const Solution& solution : solutions()) {
        std::unique_ptr<Level> level(solution.make());
        // Left alone, the machine does not win the level.
        level->build();
        EXPECT_LT(runUntilWon(*level, 1.0f / 60.0f, solution.limit), 0.0f) << solution.level << " wins by itself";
        level->unload();
        for (const auto& rate : rates) {
            SCOPED_TRACE(std::string(solution.level) + " at " + rate.first);
            ASSERT_NO_FATAL_FAILURE(setUp(*level, solution.steps));
            EXPECT_GT(runUntilWon(*level, rate.second, solution.limit), 0.0f);
            level->unload();
        }
    }
}

// Level 3's loose board hangs still until the ball hits it; the level is won as it falls, not when pushed.
TEST_F(BuiltInLevels, Level3BoardFallsOnceTheBallHitsIt) {
    const Solution& solution = solutions()[2];
    std::unique_ptr<Level> level(solution.make());
    ASSERT_NO_FATAL_FAILURE(setUp(*level, solution.steps));
    NodeGraphic* board = object("Brett gro\xDF", 6);
    ASSERT_NE(board, nullptr);
    const float hanging = board->getPosition().y;
    double loose = -1.0, won = -1.0;
    float atLoose = 0.0f, lowest = hanging;
    bool fallingAtWin = false;
    std::vector<std::pair<double, float>> heights;
    EXPECT_TRUE(scene->setRunning(true));
    scene->setStepObserver([&](double at) {
        level->update();
        if (loose < 0.0 && board->isMoveable()) {
            loose = at;
            atLoose = board->getPosition().y;
        }
        lowest = std::min(lowest, board->getPosition().y);
        if (loose < 0.0) {
            EXPECT_EQ(board->getPosition().y, hanging) << "the board moved before the hit, at " << at;
        }
        // Falling: lower now than a tenth of a second ago.
        heights.emplace_back(at, board->getPosition().y);
        if (won < 0.0 && level->isWon()) {
            won = at;
            for (const auto& h : heights)
                if (h.first >= at - 0.1) {
                    fallingAtWin = board->getPosition().y < h.second;
                    break;
                }
        }
    });
    for (int frame = 0; frame < 60 * 40 && won < 0.0; ++frame)
        scene->step(1.0f / 60.0f, 0.0f);
    scene->setStepObserver(nullptr);
    scene->setRunning(false);
    ASSERT_GT(loose, 0.0) << "the ball never hit the board";
    ASSERT_GT(won, loose);
    EXPECT_LT(lowest, atLoose - 50.0f) << "the board did not fall";
    EXPECT_TRUE(fallingAtWin) << "the level was won while the board went up";
    RecordProperty("hit_at", std::to_string(loose));
    RecordProperty("won_at", std::to_string(won));
}

// Fixed steps: every solution ends bit for bit the same, won at the same step, at 20 to 144 fps and with
// frames jittered between 1/60 and 1/15 s or 1/15 and 4/15 s (beyond the frame cap).
TEST_F(BuiltInLevels, RunsEndBitIdenticalAtAnyFrameRate) {
    const unsigned long seeds[] = {7, 11};
    const std::vector<std::pair<int, const unsigned long*>> rates = {
        {20, nullptr}, {30, nullptr}, {60, nullptr}, {144, nullptr}, {60, &seeds[0]}, {15, &seeds[1]}};
    for (const Solution& solution : solutions()) {
        std::unique_ptr<Level> level(solution.make());
        std::vector<MachineRun> runs;
        for (const auto& rate : rates) {
            ASSERT_NO_FATAL_FAILURE(setUp(*level, solution.steps));
            runs.push_back(runMachine(*scene, level.get(), FrameTimes(rate.first, rate.second), solution.limit));
            level->unload();
        }
        EXPECT_TRUE(runs[0].won) << solution.level;
        for (size_t k = 1; k < runs.size(); ++k) {
            SCOPED_TRACE(std::string(solution.level) + " run " + std::to_string(k));
            EXPECT_EQ(runs[k].wonAt, runs[0].wonAt);
            ASSERT_EQ(runs[k].bodies.size(), runs[0].bodies.size());
            for (size_t b = 0; b < runs[0].bodies.size(); ++b) {
                EXPECT_EQ(runs[k].bodies[b].position, runs[0].bodies[b].position) << "body " << runs[0].bodies[b].id;
                EXPECT_EQ(runs[k].bodies[b].velocity, runs[0].bodies[b].velocity) << "body " << runs[0].bodies[b].id;
            }
        }
    }
}

// The level simulator on level 1 saved with its solution: one line per frame rate, all alike but the rate.
TEST_F(BuiltInLevels, TheSimulatorRunsALevelFileTheSameAtAnyFrameRate) {
    const Solution& solution = solutions()[0];
    std::unique_ptr<Level> level(solution.make());
    ASSERT_NO_FATAL_FAILURE(setUp(*level, solution.steps));
    ASSERT_TRUE(level->save("solved"));
    level->unload();
    if (const char* keep = std::getenv("QBN_KEEP_SOLVED_LEVEL"))
        std::filesystem::copy_file("levels/solved.lvl", keep, std::filesystem::copy_options::overwrite_existing);

    NSLevel::SimulatorOptions options;
    options.file = "levels/solved.lvl";
    options.fps = {20, 144};
    options.seconds = 12.0;
    std::ostringstream out, err;
    ASSERT_EQ(NSLevel::simulateLevelFile(options, out, err), 0) << err.str();
    std::istringstream lines(out.str());
    std::string first, second;
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_EQ(first.rfind("{\"fps\": 20, \"jitter\": null, \"seconds\": 12.0, \"won\": true, \"won_at\": ", 0), 0u) << first;
    EXPECT_EQ(first.substr(first.find(",")), second.substr(second.find(","))); // all but the frame rate
    EXPECT_NE(first.find("\"bodies\": [{\"id\": "), std::string::npos);
    EXPECT_EQ(err.str(), "");
}
