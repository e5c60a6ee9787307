#include <gtest/gtest.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "particles/ObjectParticleSystems.h"
#include "persistence/RecordIO.h"
#include "scene/Scene.h"
#include "scenegraph/ControllerNode.h"
#include "support/GameFolder.h"
#include "support/GlContext.h"

using namespace NSParticle;
using NSMenu::MenuEntry;
using NSNode::BoundingVolume;
using NSNode::NodeGraphic;
using NSNode::NodeTransform;

namespace {

// A scene root with one system under it, stepped the way the scene steps.
template <class S>
struct Rig {
    std::unique_ptr<NodeTransform> root{new NodeTransform(true)};
    S* system = new S(true);
    Rig() {
        system->emitterSize = Vector3();
        system->emitDurationEnabled = false;
        root->addChild(system);
    }
    void step(float dt) {
        root->simulate(dt);
        root->finishStep(dt);
        root->applyPendingChanges();
    }
    void run(int steps, float dt = 0.05f) {
        for (int i = 0; i < steps; ++i)
            step(dt);
    }
    int liveNodes() const { return static_cast<int>(root->getChildren().size()) - 1; }
    // A solid block, registered for hits.
    NodeGraphic* addBlock(const Vector3& at, const Vector3& size) {
        auto* block = new NodeGraphic(true);
        block->setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(), size));
        block->setPosition(at);
        block->registerForHits();
        root->addChild(block);
        return block;
    }
};

// The colour set for a particle with this much of 3 s life left, over black with alpha 0.77.
std::vector<float> colourAt(ObjectParticleSystemSimple& s, float life) {
    auto* p = s.createParticle(Vector3(), Vector3(0, 0, 1), false);
    p->life = life;
    glColor4f(0.0f, 0.0f, 0.0f, 0.77f);
    s.applyParticleAppearance(p);
    std::vector<float> c(4);
    glGetFloatv(GL_CURRENT_COLOR, c.data());
    delete p->node;
    delete p;
    return c;
}

// A black view of one unit per pixel around the origin, looking down -z.
void pixelView() {
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-400, 400, -300, 300, -200, 200);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (GLenum cap : {GL_LIGHTING, GL_DEPTH_TEST, GL_CULL_FACE})
        glDisable(cap);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
}

// The box {left, bottom, right, top} round the pixels of an 800x600 frame whose green passes 30.
std::vector<int> litBox() {
    const std::vector<unsigned char> px = qbntest::readPixels(0, 0, 800, 600);
    std::vector<int> box = {INT_MAX, INT_MAX, -1, -1};
    for (int i = 0; i < 800 * 600; ++i)
        if (px[i * 3 + 1] > 30)
            box = {std::min(box[0], i % 800), std::min(box[1], i / 800), std::max(box[2], i % 800), std::max(box[3], i / 800)};
    return box;
}

// Every setting of the emitter, with a value away from its default.
#define PARTICLE_SETTINGS(X)                                                                                       \
    X(emitterSize, Vector3(1, 2, 3)) X(emitAngle, Vector3(0.3f, 0.4f, 0)) X(emitSpeed, 12) X(emitSpeedVar, 0.25f) \
    X(autostart, false) X(autostartDelay, 1.5f) X(partsPerSec, 33) X(partsPerSecVar, 0.1f) X(maxVisible, 44)       \
    X(maxVisibleEnabled, true) X(partsMax, 7) X(partsMaxEnabled, true) X(emitDuration, 9)                         \
    X(emitDurationEnabled, false) X(startRotation, Vector3(0.5f, 1, 1.5f))                                        \
    X(startRotationVar, Vector3(0.1f, 0.2f, 0.3f)) X(lifespan, 4.5f) X(lifespanVar, 0.35f) X(interactionMode, 2)  \
    X(resurrection, true) X(resurrectParts, 5) X(resurrectIterations, 3) X(resurrectSize, 2.5f)                   \
    X(resurrectSizeVar, 0.45f) X(emitterVisibility, 2) X(colorMode, 1) X(fadeColor, Vector3(0.1f, 0.2f, 0.3f))    \
    X(colorIterations, 12) X(randomStartColor, true) X(alphaFading, true) X(alphaFadeBegin, 0.15f)                \
    X(alphaFadeEnd, 0.9f) X(editEmitSpeed, true) X(editPartLifespan, true) X(editStartRotation, true)             \
    X(editEmitAngle, true) X(editEmitterBox, true)

void changeEverySetting(ObjectParticleSystem& s) {
#define SET(field, value) s.field = value;
    PARTICLE_SETTINGS(SET)
#undef SET
    s.setColor(Vector3(0.9f, 0.8f, 0.7f));
}

void expectSameSettings(const ObjectParticleSystem& a, const ObjectParticleSystem& b) {
#define EXPECT_SAME(field, value) EXPECT_EQ(a.field, b.field) << #field;
    PARTICLE_SETTINGS(EXPECT_SAME)
#undef EXPECT_SAME
    EXPECT_EQ(a.getName(), b.getName());
    EXPECT_EQ(a.getColor(), b.getColor());
}

// Writes the system to a record and reads it back through the factory.
template <class S>
std::unique_ptr<S> throughRecord(S& s) {
    const std::string path = testing::TempDir() + "particles.rec";
    {
        NSSerialize::SerialStream out(path, true);
        NSSerialize::writeElement(out, "[parO]", s);
        EXPECT_TRUE(out.close());
    }
    NSSerialize::SerialStream in(path, false);
    std::unique_ptr<NodeTransform> read(NSSerialize::readElement<NodeTransform>(in));
    std::remove(path.c_str());
    S* r = dynamic_cast<S*>(read.get());
    if (r)
        read.release();
    return std::unique_ptr<S>(r);
}

} // namespace

// The GL context is shared by the whole suite: every test leaves the state
// and the matrices as it found them. Mesa's glPopAttrib does not bring the
// material back, so that is kept by hand.
class ParticleTest : public qbntest::GlTest {
protected:
    static constexpr GLenum kFaces[2] = {GL_FRONT, GL_BACK};
    static constexpr GLenum kMaterial[5] = {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_EMISSION, GL_SHININESS};
    GLfloat material[2][5][4] = {};

    void SetUp() override {
        GlTest::SetUp();
        for (int i = 0; i < 10; ++i)
            glGetMaterialfv(kFaces[i / 5], kMaterial[i % 5], material[i / 5][i % 5]);
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        for (GLenum stack : {GL_PROJECTION, GL_MODELVIEW}) {
            glMatrixMode(stack);
            glPushMatrix();
        }
    }
    void TearDown() override {
        for (GLenum stack : {GL_PROJECTION, GL_MODELVIEW}) {
            glMatrixMode(stack);
            glPopMatrix();
        }
        glPopAttrib();
        for (int i = 0; i < 10; ++i)
            glMaterialfv(kFaces[i / 5], kMaterial[i % 5], material[i / 5][i % 5]);
    }
};

TEST_F(ParticleTest, EmitsStrictlyAfterEachTenthOfASecond) {
    Rig<ObjectParticleSystemSimple> rig;
    rig.step(0.1f); // starts the emitter at clock 0
    ASSERT_TRUE(rig.system->isRunning());
    rig.step(0.1f); // clock exactly 0.1: not yet
    EXPECT_EQ(rig.liveNodes(), 0);
    rig.step(0.05f);
    EXPECT_EQ(rig.liveNodes(), 1);
    EXPECT_EQ(rig.system->getParticles().size(), 1u);
    rig.run(17); // clock 1.0
    EXPECT_NEAR(rig.liveNodes(), 9, 1);
    // Hidden, the system neither emits nor ages its particles.
    const size_t shown = rig.system->getParticles().size();
    const float life = rig.system->getParticles()[0]->life;
    rig.system->setVisible(false);
    rig.run(20);
    EXPECT_EQ(rig.system->getParticles().size(), shown);
    EXPECT_FLOAT_EQ(rig.system->getParticles()[0]->life, life);

    // Without a positive rate nothing comes, and the step still ends.
    for (float rate : {0.0f, -5.0f, NAN}) {
        Rig<ObjectParticleSystemSimple> still;
        still.system->partsPerSec = rate;
        still.run(10, 0.1f);
        EXPECT_EQ(still.liveNodes(), 0) << rate;
    }
}

TEST_F(ParticleTest, PartsLimitCountsOnlyCreatedParticles) {
    auto limit = [](auto& rig) {
        rig.system->partsMaxEnabled = true;
        rig.system->partsMax = 20;
        rig.system->partsPerSec = 100.0f;
        rig.system->lifespan = 100.0f;
    };
    // Each limit alone: the parts limit, the visible cap, the start delay and the emit duration (ten a second).
    const struct { int visible; float delay, duration; int steps, made; } limits[] = {
        {0, 0, 0, 60, 20}, {7, 0, 0, 40, 7}, {0, 1, 9, 15, 0}, {0, 0, 1, 60, 10}, {0, 2, 1, 50, 5}};
    for (const auto& l : limits) {
        Rig<ObjectParticleSystemSimple> rig;
        limit(rig);
        rig.system->maxVisibleEnabled = l.visible > 0, rig.system->maxVisible = l.visible;
        rig.system->partsPerSec = 10, rig.system->autostartDelay = l.delay;
        rig.system->emitDurationEnabled = l.duration > 0, rig.system->emitDuration = l.duration;
        rig.run(l.steps);
        EXPECT_NEAR(rig.system->getGeneratedCount(), l.made, l.duration > 0) << "row " << &l - limits;
        EXPECT_EQ(rig.liveNodes(), rig.system->getGeneratedCount());
    }

    // A complex system without a prototype makes nothing and counts nothing.
    Rig<ObjectParticleSystemComplex> empty;
    limit(empty);
    empty.run(20);
    EXPECT_EQ(empty.liveNodes(), 0);
    EXPECT_EQ(empty.system->getGeneratedCount(), 0);

    // Nor does one inside a solid while it interacts (and no failed particle stays registered);
    // without interaction the solid is no obstacle, and it still makes its 20.
    Rig<ObjectParticleSystemSimple> blocked;
    blocked.addBlock(Vector3(), Vector3(200, 200, 200));
    NSNode::ControllerNode& nodes = NSNode::ControllerNode::inUse();
    const size_t registered = nodes.nodes().size();
    limit(blocked);
    blocked.system->interactionMode = 1;
    blocked.system->emitterSize = Vector3(180, 0, 180);
    blocked.run(10);
    EXPECT_EQ(blocked.system->getGeneratedCount(), 0);
    EXPECT_EQ(nodes.nodes().size(), registered);
    blocked.system->interactionMode = 0;
    blocked.run(40);
    EXPECT_EQ(blocked.system->getGeneratedCount(), 20);
    EXPECT_EQ(blocked.liveNodes(), 21);
}

TEST_F(ParticleTest, ParticlesLeaveTheEmitterAreaWithinTheirSpreads) {
    ObjectParticleSystemSimple s(true);
    s.emitterSize = Vector3(30, 0, 30);
    s.emitSpeed = 30, s.emitSpeedVar = 0.5f;
    s.lifespan = 3, s.lifespanVar = 0.5f;
    // The widest reach of 300 particles on each count.
    Vector3 reach;
    float slowest = 1e9f, fastest = 0, leastCos = 1, shortest = 1e9f, longest = 0;
    for (int i = 0; i < 300; ++i) {
        auto* p = s.createParticle(Vector3(5, 6, 7), Vector3(0, 0, 1), true);
        const Vector3 at = p->node->getPosition() - Vector3(5, 6, 7);
        const Vector3 v = p->node->getVelocity();
        reach = Vector3(std::max(reach.x, std::fabs(at.x)), std::max(reach.y, std::fabs(at.y)),
                        std::max(reach.z, std::fabs(at.z)));
        slowest = std::min(slowest, length(v)), fastest = std::max(fastest, length(v));
        leastCos = std::min(leastCos, v.z / length(v));
        shortest = std::min(shortest, p->life), longest = std::max(longest, p->life);
        delete p->node;
        delete p;
    }
    for (float r : {reach.x, reach.y}) {
        EXPECT_LE(r, 15.0f);
        EXPECT_GT(r, 12.0f);
    }
    EXPECT_EQ(reach.z, 0.0f);
    EXPECT_GE(slowest, 15.0f - 1e-3f);
    EXPECT_LE(fastest, 45.0f + 1e-3f);
    EXPECT_GT(fastest - slowest, 20.0f);
    // Turned by at most 0.2 of a half turn about each of two axes.
    EXPECT_GE(leastCos, std::cos(0.2f * kPi) * std::cos(0.2f * kPi) - 1e-4f);
    EXPECT_LT(leastCos, 0.95f);
    EXPECT_GE(shortest, 1.5f - 1e-4f);
    EXPECT_LE(longest, 4.5f + 1e-4f);
    EXPECT_GT(longest - shortest, 2.0f);

    // A system turned a quarter about X emits along -y from an area in xz.
    Rig<ObjectParticleSystemSimple> rig;
    rig.system->setRotation(Vector3(kPi / 2, 0, 0));
    rig.system->emitterSize = Vector3(30, 0, 30);
    rig.system->emitAngle = Vector3();
    rig.run(10);
    ASSERT_FALSE(rig.system->getParticles().empty());
    for (auto* p : rig.system->getParticles()) {
        const Vector3 at = p->node->getPosition();
        EXPECT_NEAR(p->node->getVelocity().y, -30.0f, 1e-3f);
        EXPECT_NEAR(at.y, -30.0f * (3.0f - p->life), 0.01f);
        EXPECT_LE(std::fabs(at.x), 15.0f);
        EXPECT_LE(std::fabs(at.z), 15.0f);
    }
}

TEST_F(ParticleTest, AppearanceFollowsTheLife) {
    ObjectParticleSystemSimple s(true);
    s.lifespan = 3.0f;
    // Fading: 0.15 s into the 0.6 s fade in, fully in, half way out; else opaque.
    const float alphas[][3] = {{1, 2.85f, 0.25f}, {1, 2.4f, 1}, {1, 0.3f, 0.5f}, {0, 0.3f, 1}, {0, 2.95f, 1}};
    for (const auto& a : alphas) {
        s.alphaFading = a[0] != 0;
        EXPECT_NEAR(colourAt(s, a[1])[3], a[2], 1e-3) << a[0] << " " << a[1];
    }
    const std::vector<float> c = colourAt(s, 1.0f);
    EXPECT_NEAR(c[0], 0.5f, 1e-3);
    EXPECT_NEAR(c[1], 0.2f, 1e-3);

    // Fading colour: half way through its life, half way to the fade colour.
    Rig<ObjectParticleSystemSimple> rig;
    rig.system->colorMode = 1;
    rig.system->fadeColor = Vector3(1, 1, 0);
    rig.system->lifespan = 2.0f;
    rig.system->partsPerSec = 0.2f; // one particle at 5 s
    rig.run(121);                   // 1 s after it came
    ASSERT_EQ(rig.system->getParticles().size(), 1u);
    const Vector3 mid = rig.system->nodeColor(rig.system->getParticles()[0]->node);
    EXPECT_LT(length(mid - Vector3(0.75f, 0.6f, 0.25f)), 0.05f);
}

TEST_F(ParticleTest, ResurrectionSplitsUpToTheIterationCount) {
    Rig<ObjectParticleSystemSimple> rig;
    auto& s = *rig.system;
    s.partsPerSec = 0.2f, s.lifespan = 1.0f; // the first particle at 5 s, the next after 10 s
    s.resurrection = true, s.resurrectIterations = 1, s.resurrectParts = 2, s.resurrectSize = 0.5f;
    rig.step(0.05f);
    int most = 0, oldest = 0, missized = 0;
    for (int i = 0; i < 190; ++i) { // to 9.5 s
        rig.step(0.05f);
        most = std::max(most, rig.liveNodes());
        for (auto* p : rig.system->getParticles()) {
            oldest = std::max(oldest, p->generation);
            missized += ObjectParticleSystemSimple::of(p->node)->getSize() != (p->generation ? 0.5f : 3.0f);
        }
    }
    EXPECT_EQ(most, 4);
    EXPECT_EQ(oldest, 2);
    EXPECT_EQ(missized, 0); // the split parts take the resurrection size
    EXPECT_EQ(rig.system->getGeneratedCount(), 7); // 1 + 2 + 4
    EXPECT_EQ(rig.liveNodes(), 0);
}

TEST_F(ParticleTest, ParticleNodesLookAndTouchAsDrawn) {
    // A sphere particle touches with its size as radius; a cube of the same size reaches half as far.
    Rig<ObjectParticleSystemSimple> rig;
    NodeGraphic* block = rig.addBlock(Vector3(12.5f, 0, 0), Vector3(20, 20, 20)); // face at x = 2.5
    EXPECT_TRUE(SimpleParticleSphere(3.0f, 6).hitTest(block, Vector3()).hit);
    EXPECT_FALSE(SimpleParticleCube(3.0f).hitTest(block, Vector3()).hit);

    // A sprite made before its system was drawn shows its texture: bright centre, dark corners.
    {
        qbntest::GameFolder here; // levels/ and the game's particle textures
        Rig<ObjectParticleSystemTexture> rig;
        rig.system->setColor(Vector3(1, 1, 1));
        rig.system->particleSize = 200.0f;
        rig.system->emitSpeed = 0.0f;
        rig.run(4);
        ASSERT_EQ(rig.system->getParticles().size(), 1u);
        pixelView();
        glPushMatrix();
        rig.root->draw();
        glPopMatrix();
        EXPECT_GT(qbntest::readPixels(400, 300, 1, 1)[1], 200);
        EXPECT_LT(qbntest::readPixels(310, 210, 1, 1)[1], 40);
        EXPECT_NE(rig.system->texture, 0u);

        // Seen from 45 degrees above, a sprite still faces the eye: it shows
        // as tall as it is wide, where it is, drawn with its system (which
        // stands elsewhere, turned) or on its own.
        rig.system->setPosition(Vector3(50, 20, -30));
        rig.system->setRotation(Vector3(0.5f, 1.0f, 0.2f));
        TextureParticle* node = ObjectParticleSystemTexture::of(rig.system->getParticles()[0]->node);
        node->setPosition(Vector3(0, -100, 0));
        node->setSize(40.0f);
        TextureParticle lone(40.0f, 0);
        lone.setPosition(Vector3(0, -100, 0));
        for (NodeTransform* shown : {static_cast<NodeTransform*>(rig.root.get()), static_cast<NodeTransform*>(&lone)}) {
            pixelView();
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            gluPerspective(60.0, 800.0 / 600.0, 1.0, 1000.0);
            glMatrixMode(GL_MODELVIEW);
            gluLookAt(0, 0, 100, 0, -100, 0, 0, 1, 0);
            glPushMatrix();
            shown->draw();
            glPopMatrix();
            const std::vector<int> e = litBox(); // square and centred
            ASSERT_GT(e[2], e[0]);
            EXPECT_NEAR(static_cast<float>(e[3] - e[1]) / static_cast<float>(e[2] - e[0]), 1.0f, 0.15f);
            EXPECT_NEAR((e[0] + e[2]) / 2.0, 400, 3);
            EXPECT_NEAR((e[1] + e[3]) / 2.0, 300, 3);
        }
    }
}

TEST_F(ParticleTest, ComplexSystemSendsCopiesOfItsPrototype) {
    Rig<ObjectParticleSystemComplex> rig;
    NodeGraphic* prototype = rig.addBlock(Vector3(100, 0, 0), Vector3(5, 5, 5));
    prototype->setColor(Vector3(0, 1, 0));

    // Only an id of a drawable node in the scene becomes the prototype.
    rig.system->setMenuValue("Particle ID", NSMenu::Value::ofInt(prototype->getId() + 1000));
    rig.system->setMenuValue("Set Particle", NSMenu::Value());
    EXPECT_EQ(rig.system->prototypeId, 0);
    rig.system->setMenuValue("Particle ID", NSMenu::Value::ofInt(prototype->getId()));
    rig.system->setMenuValue("Set Particle", NSMenu::Value());
    ASSERT_EQ(rig.system->prototypeId, prototype->getId());

    rig.run(5);
    EXPECT_FALSE(prototype->isVisible() || prototype->isRegistered());
    ASSERT_EQ(rig.system->getParticles().size(), 1u);
    NodeGraphic* copy = ObjectParticleSystemComplex::of(rig.system->getParticles()[0]->node);
    EXPECT_TRUE(copy != prototype && copy->getId() != prototype->getId() && copy->getParent() == rig.root.get() &&
                copy->isVisible());
    EXPECT_NEAR(length(copy->getVelocity()), 30.0f, 1e-3f);

    // The prototype id survives a record.
    auto read = throughRecord(*rig.system);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->prototypeId, prototype->getId());
}

TEST_F(ParticleTest, SystemsKeepAllSettingsThroughARecordAndACopy) {
    ObjectParticleSystemSimple s(true);
    changeEverySetting(s);
    s.shape = 2, s.sphereDetail = 11, s.particleSize = 7.5f, s.particleSizeVar = 0.6f, s.editParticleSize = true;
    auto read = throughRecord(s);
    std::unique_ptr<NSClone::Cloneable> cloned(s.clone());
    auto* copy = dynamic_cast<ObjectParticleSystemSimple*>(cloned.get());
    for (ObjectParticleSystemSimple* r : {read.get(), copy}) {
        ASSERT_NE(r, nullptr);
        expectSameSettings(s, *r);
        EXPECT_EQ(std::make_tuple(r->shape, r->sphereDetail, r->particleSize, r->particleSizeVar, r->editParticleSize),
                  std::make_tuple(2, 11, 7.5f, 0.6f, true));
    }
    EXPECT_EQ(read->getId(), s.getId());
    s.resurrectParts = 1000, s.resurrectIterations = 99; // a file asks no more than the menu's sliders offer
    read = throughRecord(s);
    EXPECT_EQ(std::make_pair(read->resurrectParts, read->resurrectIterations), std::make_pair(10, 5));
    EXPECT_GT(copy->getId(), s.getId()); // a copy is a node of its own

    ObjectParticleSystemTexture t(true);
    changeEverySetting(t);
    t.textureFile = "spark.bmp", t.particleSize = 9.5f, t.particleSizeVar = 0.2f;
    auto rt = throughRecord(t);
    ASSERT_NE(rt, nullptr);
    expectSameSettings(t, *rt);
    EXPECT_EQ(std::make_tuple(rt->textureFile, rt->particleSize, rt->particleSizeVar),
              std::make_tuple(std::string("spark.bmp"), 9.5f, 0.2f));
}
