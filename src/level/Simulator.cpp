#include "level/Simulator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>

#include "level/BuiltInLevels.h"
#include "level/ControllerLevel.h"
#include "level/Level.h"
#include "particles/ParticleSupport.h"
#include "physics/NodePhysical.h"
#include "physics/StepClock.h"
#include "scene/Scene.h"

namespace NSLevel {

namespace {

using NSPhysical::StepClock;

// A level read from a file: everything it has comes from the file.
class FileLevel : public Level {
public:
    void build() override {}
};

// More frames than any valid run needs: a guard against a clock that stops
// counting, not a limit anyone meets.
constexpr long long kMaxFrames = 100000000;

// Whole numbers with ".0"; others with `digits` significant digits (9 are
// enough to tell every float apart).
std::string number(double v, int digits = 9) {
    char text[40];
    if (!std::isfinite(v))
        return "null";
    if (v == std::floor(v) && std::fabs(v) < 1e15)
        std::snprintf(text, sizeof text, "%.1f", v);
    else
        std::snprintf(text, sizeof text, "%.*g", digits, v);
    return text;
}

std::string vector(const Vector3& v) { return "[" + number(v.x) + ", " + number(v.y) + ", " + number(v.z) + "]"; }

std::string optionError(const SimulatorOptions& o) {
    if (o.file.empty())
        return "no level file given";
    if (o.fps.empty())
        return "--fps needs at least one frame rate";
    for (int fps : o.fps)
        if (fps < 1 || fps > SimulatorOptions::kMaxFps)
            return "--fps " + std::to_string(fps) + " is out of range (1 to " +
                   std::to_string(SimulatorOptions::kMaxFps) + ")";
    if (!std::isfinite(o.seconds) || o.seconds <= 0.0 || o.seconds > SimulatorOptions::kMaxSeconds)
        return "--seconds must be more than 0 and at most " + number(SimulatorOptions::kMaxSeconds);
    return "";
}

} // namespace

FrameTimes::FrameTimes(int fps, const unsigned long* jitterSeed)
    : base(1.0f / static_cast<float>(std::max(fps, 1))), jittered(jitterSeed != nullptr),
      state(jitterSeed ? *jitterSeed : 0) {}

float FrameTimes::next() {
    if (!jittered)
        return base;
    // splitmix64: the same numbers on every machine and library.
    state += 0x9E3779B97F4A7C15ull;
    unsigned long long z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    const float unit = static_cast<float>(z >> 40) / static_cast<float>(1ull << 24); // 0 .. <1
    return base * (1.0f + 3.0f * unit);
}

namespace {

void collectBodies(NSNode::NodeTransform* node, std::vector<BodyState>& out) {
    if (dynamic_cast<NSParticle::ParticleLink*>(node))
        return;
    if (auto* body = dynamic_cast<NSNode::NodePhysical*>(node))
        out.push_back({body->getId(), body->worldPosition(), body->getVelocity()});
    for (NSNode::NodeTransform* child : node->getChildren())
        collectBodies(child, out);
}

} // namespace

std::vector<BodyState> bodiesOf(const NSScene::Scene& scene) {
    // Every physical body but the particles, which come and go with the
    // emitters and are drawn at random.
    std::vector<BodyState> bodies;
    collectBodies(scene.getRoot(), bodies);
    std::sort(bodies.begin(), bodies.end(), [](const BodyState& a, const BodyState& b) { return a.id < b.id; });
    return bodies;
}

MachineRun runMachine(NSScene::Scene& scene, Level* level, FrameTimes frames, double seconds) {
    MachineRun run;
    scene.setRunning(true, false);
    scene.setPaused(false);
    scene.setStepObserver([&](double at) {
        if (!level || level->isWon())
            return;
        level->update();
        if (level->isWon()) {
            run.won = true;
            run.wonAt = at;
        }
    });
    const StepClock& clock = scene.machine().clock();
    const long long target = std::llround(seconds / StepClock::kStep);
    for (long long frame = 0; frame < kMaxFrames && clock.stepsTaken() < target; ++frame) {
        const double left =
            static_cast<double>(target - clock.stepsTaken()) * StepClock::kStep - clock.remainder();
        scene.step(static_cast<float>(std::min<double>(frames.next(), left)), 0.0f);
    }
    scene.setStepObserver(nullptr);
    scene.setRunning(false, false);
    run.bodies = bodiesOf(scene);
    return run;
}

int simulateLevelFile(const SimulatorOptions& options, std::ostream& out, std::ostream& err) {
    const std::string problem = optionError(options);
    if (!problem.empty()) {
        err << "quibbleton --simulate: " << problem << "\n";
        return 2;
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(options.file, error) || !std::ifstream(options.file).good()) {
        err << "quibbleton --simulate: cannot read the level file \"" << options.file << "\"\n";
        return 2;
    }
    NSScene::Scene scene;
    scene.machine().trace().setRecording(false); // nobody sees these runs
    NSNode::ControllerNode::Use sceneWorld(scene.world());
    // A file titled as a built-in level (a layout the game kept, a quick
    // save) plays by that level's own rules, as in the game.
    std::vector<std::unique_ptr<Level>> builtIn;
    for (Level* made : makeBuiltInLevels())
        builtIn.emplace_back(made);
    std::vector<Level*> rules;
    for (const auto& made : builtIn)
        rules.push_back(made.get());
    std::ostringstream lines;
    bool readable = true;
    for (int fps : options.fps) {
        FileLevel plain;
        Level* own = nullptr;
        if (!plain.loadFile(options.file) ||
            ((own = builtInLevelTitled(rules, plain.getName())) && !own->loadFile(options.file))) {
            readable = false;
            break;
        }
        Level& level = own ? *own : plain;
        const MachineRun run =
            runMachine(scene, &level, FrameTimes(fps, options.jitter ? &options.jitterSeed : nullptr), options.seconds);
        lines << "{\"fps\": " << fps << ", \"jitter\": "
              << (options.jitter ? std::to_string(options.jitterSeed) : std::string("null"))
              << ", \"seconds\": " << number(options.seconds) << ", \"won\": " << (run.won ? "true" : "false")
              << ", \"won_at\": " << (run.won ? number(run.wonAt, 6) : std::string("null")) << ", \"bodies\": [";
        for (size_t i = 0; i < run.bodies.size(); ++i) {
            const BodyState& b = run.bodies[i];
            lines << (i ? ", " : "") << "{\"id\": " << b.id << ", \"position\": " << vector(b.position)
                  << ", \"velocity\": " << vector(b.velocity) << "}";
        }
        lines << "]}\n";
    }
    scene.clearScene();
    if (!readable) {
        err << "quibbleton --simulate: \"" << options.file << "\" is not a readable level file\n";
        return 2;
    }
    out << lines.str();
    out.flush();
    return 0;
}

} // namespace NSLevel
