#pragma once
// The headless level simulator: runs a level file's machine as the game
// would, at chosen frame rates, and reports how each run ended, one JSON
// object per line. For level authors (does my level win at every frame
// rate?) and for tests.
#include <iosfwd>
#include <string>
#include <vector>

#include "math/Vector3.h"

namespace NSScene {
class Scene;
}

namespace NSLevel {

class Level;

struct SimulatorOptions {
    // A level file, path as given.
    std::string file;
    // One run per entry, each 1 to kMaxFps frames per second.
    std::vector<int> fps{30, 60, 120};
    // With jitter each frame lasts from 1/fps to 4/fps seconds, drawn from
    // a generator seeded with jitterSeed.
    bool jitter = false;
    unsigned long jitterSeed = 0;
    // Simulated seconds per run, more than 0 and at most kMaxSeconds.
    double seconds = 30.0;

    static constexpr int kMaxFps = 1000;
    static constexpr double kMaxSeconds = 3600.0;
};

struct BodyState {
    int id = 0;
    Vector3 position; // in world coordinates
    Vector3 velocity;
};

struct MachineRun {
    bool won = false;
    double wonAt = -1.0; // simulated seconds, -1 when not won
    std::vector<BodyState> bodies; // every physical body, by id
};

// The frame times of one run: 1/fps each, or, with a seed, drawn
// reproducibly from 1/fps to 4/fps.
class FrameTimes {
public:
    FrameTimes(int fps, const unsigned long* jitterSeed);
    float next();

private:
    float base;
    bool jittered;
    unsigned long long state;
};

// Starts the machine of scene (without a snapshot), feeds it frames until
// exactly `seconds` are simulated (the last frame shortened to fit; a
// frame the clock caps simply takes longer), checking level's goals after
// every step when level is given, and leaves the machine stopped where it
// ended.
// The scene's physical bodies as they are now, by id (no particles).
std::vector<BodyState> bodiesOf(const NSScene::Scene& scene);

MachineRun runMachine(NSScene::Scene& scene, Level* level, FrameTimes frames, double seconds);

// `quibbleton --simulate`: one run per frame rate of the level file, each
// from the file's saved state, printed to out; 0 on success, 2 with a
// one-line message on err when the file cannot be read or an option is out
// of range. Needs a current GL context (models are loaded as in the game).
int simulateLevelFile(const SimulatorOptions& options, std::ostream& out, std::ostream& err);

} // namespace NSLevel
