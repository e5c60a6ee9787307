// The falling-balls scene of bench_collisions.cpp built in Bullet, as a
// yardstick: the same room 200 units wide, the same jittered grid of balls
// of radius 4 with the same start velocities, gravity 98.1 units/s^2,
// restitution 0.9, friction 0.1, and the same fixed step of 1/60 s (one
// Bullet step per frame, no sub-steps). Each iteration lets the balls fall
// for a second untimed and times the next second, as the game's benchmark does.
// BM_BulletFallingBallsSteady times seconds 5 to 10 and reports the quality
// at 10 s as the game's benchmark does (deepest overlap, kinetic energy per
// ball). Bullet's step stays 1/60 s, its usual one; compare "sim_s", the
// time per simulated second.
#include <benchmark/benchmark.h>

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr float kStep = 1.0f / 60.0f;
constexpr int kWarmUpSteps = 60;
constexpr int kTimedSteps = 60;
constexpr float kBallRadius = 4.0f;

struct BulletBalls {
    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher{&configuration};
    btDbvtBroadphase broadphase;
    btSequentialImpulseConstraintSolver solver;
    btDiscreteDynamicsWorld world{&dispatcher, &broadphase, &solver, &configuration};
    btSphereShape ball{kBallRadius};
    std::vector<std::unique_ptr<btCollisionShape>> walls;
    std::vector<std::unique_ptr<btDefaultMotionState>> states;
    std::vector<std::unique_ptr<btRigidBody>> bodies;

    explicit BulletBalls(int n) {
        world.setGravity(btVector3(0, -98.1f, 0));
        const btVector3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
        for (const btVector3& normal : normals) {
            walls.emplace_back(new btStaticPlaneShape(normal, -100.0f));
            add(walls.back().get(), 0.0f, btVector3(0, 0, 0), btVector3(0, 0, 0));
        }
        const int side = static_cast<int>(std::ceil(std::cbrt(static_cast<double>(n))));
        const float cell = 180.0f / static_cast<float>(side);
        std::mt19937 random(11);
        const float play = std::max(0.0f, 0.5f * cell - kBallRadius - 1.0f) * 0.5f;
        std::uniform_real_distribution<float> jitter(-play, play);
        std::uniform_real_distribution<float> speed(-30.0f, 30.0f);
        for (int i = 0; i < n; ++i) {
            const int gx = i % side, gy = (i / side) % side, gz = i / (side * side);
            const float x = -90.0f + (static_cast<float>(gx) + 0.5f) * cell + jitter(random);
            const float y = -90.0f + (static_cast<float>(gy) + 0.5f) * cell + jitter(random);
            const float z = -90.0f + (static_cast<float>(gz) + 0.5f) * cell + jitter(random);
            const float vx = speed(random), vz = speed(random);
            add(&ball, 1.0f, btVector3(x, y, z), btVector3(vx, 0, vz));
        }
    }

    void add(btCollisionShape* shape, float mass, const btVector3& at, const btVector3& velocity) {
        btVector3 inertia(0, 0, 0);
        if (mass > 0.0f)
            shape->calculateLocalInertia(mass, inertia);
        states.emplace_back(new btDefaultMotionState(btTransform(btQuaternion::getIdentity(), at)));
        btRigidBody::btRigidBodyConstructionInfo info(mass, states.back().get(), shape, inertia);
        info.m_restitution = 0.9f;
        info.m_friction = 0.1f;
        bodies.emplace_back(new btRigidBody(info));
        bodies.back()->setLinearVelocity(velocity);
        world.addRigidBody(bodies.back().get());
    }

    ~BulletBalls() {
        for (auto& body : bodies)
            world.removeRigidBody(body.get());
    }

    void step() { world.stepSimulation(kStep, 0, kStep); }

    // Ball i's centre and velocity (the six walls come first).
    btVector3 at(size_t i) const { return bodies[6 + i]->getCenterOfMassPosition(); }
    btVector3 velocity(size_t i) const { return bodies[6 + i]->getLinearVelocity(); }
    size_t balls() const { return bodies.size() - 6; }

    float deepestOverlap() const {
        float deepest = 0.0f;
        for (size_t i = 0; i < balls(); ++i) {
            const btVector3 p = at(i);
            for (int k = 0; k < 3; ++k)
                deepest = std::max(deepest, std::fabs(p[k]) + kBallRadius - 100.0f);
            for (size_t j = i + 1; j < balls(); ++j)
                deepest = std::max(deepest, 2.0f * kBallRadius - (p - at(j)).length());
        }
        return deepest;
    }

    double energyPerBall() const {
        double sum = 0.0;
        for (size_t i = 0; i < balls(); ++i)
            sum += 0.5 * velocity(i).length2();
        return sum / static_cast<double>(balls());
    }
};

void BM_BulletFallingBalls(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto scene = std::make_unique<BulletBalls>(n);
        for (int i = 0; i < kWarmUpSteps; ++i)
            scene->step();
        state.ResumeTiming();
        for (int i = 0; i < kTimedSteps; ++i)
            scene->step();
        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
    }
    const double steps = static_cast<double>(state.iterations()) * kTimedSteps;
    state.counters["step"] = benchmark::Counter(steps, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["sim_s"] = benchmark::Counter(steps * kStep, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetComplexityN(n);
}

void BM_BulletFallingBallsSteady(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const int fiveSeconds = static_cast<int>(std::lround(5.0f / kStep));
    float deepest = 0.0f;
    double energy = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        auto scene = std::make_unique<BulletBalls>(n);
        for (int i = 0; i < fiveSeconds; ++i)
            scene->step();
        state.ResumeTiming();
        for (int i = 0; i < fiveSeconds; ++i)
            scene->step();
        state.PauseTiming();
        deepest = scene->deepestOverlap();
        energy = scene->energyPerBall();
        scene.reset();
        state.ResumeTiming();
    }
    const double seconds = static_cast<double>(state.iterations()) * 5.0;
    state.counters["sim_s"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["deepest"] = deepest;
    state.counters["energy"] = energy;
}

} // namespace

BENCHMARK(BM_BulletFallingBalls)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_BulletFallingBallsSteady)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
