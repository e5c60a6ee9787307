#pragma once
// The emitter behind every particle system: a box that, once started, sends
// out particles with a speed, a spread and a spin. Each particle is a scene
// node of its own, added to and removed from the scene through the deferred
// queues; it ages, changes colour, may fade in and out and may split into
// smaller particles when it dies. T is the node type a particle is.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <string>
#include <type_traits>
#include <vector>

#include "editable/EditorMode.h"
#include "particles/ParticleSupport.h"
#include "persistence/ClassIds.h"
#include "scene/Scene.h"
#include "objects/NodeGraphic.h"

namespace NSParticle {

// The node with this id at or below node, or null.
NSNode::NodeTransform* findInTree(NSNode::NodeTransform* node, int id);
// The top of the tree node hangs in.
NSNode::NodeTransform* treeTop(NSNode::NodeTransform* node);
// Marks the side menu for rebuilding, when there is one.
void touchSideMenu();
// The menu words of the interaction and colour modes.
const char* interactionName(int mode);
const char* colorModeName(int mode);

template <class T>
class ObjectParticleSystem : public NSNode::NodeGraphic, public ParticleOwner {
public:
    // The most the menu (and a file) may ask for.
    static constexpr float kMaxPartsPerSec = 9999.0f;
    static constexpr int kMaxResurrectParts = 10;
    static constexpr int kMaxResurrectIterations = 5;

    class Particle {
    public:
        virtual ~Particle() = default;
        float life = 1.0f;
        float lifespan = 1.0f;
        int generation = 0;
        T* node = nullptr;
    };

    explicit ObjectParticleSystem(bool full) : NodeGraphic(full) {
        if (full)
            setDefaults();
    }
    ~ObjectParticleSystem() override {
        // Nodes of plain node types cannot tell when they are gone, so they
        // are left alone; linked ones forget this system.
        if (std::is_base_of<ParticleLink, T>::value)
            dropRecords(false);
        else
            for (Particle* p : particles)
                delete p;
    }

    virtual void setDefaults() {
        emitterSize = Vector3(30.0f, 0.0f, 30.0f);
        emitAngle = Vector3(0.2f, 0.2f, 0.0f);
        emitSpeed = 30.0f;
        emitSpeedVar = 0.0f;
        autostart = true;
        autostartDelay = 0.0f;
        partsPerSec = 10.0f;
        partsPerSecVar = 0.0f;
        maxVisible = 20;
        maxVisibleEnabled = false;
        partsMax = 20;
        partsMaxEnabled = false;
        emitDuration = 20.0f;
        emitDurationEnabled = true;
        startRotation = Vector3();
        startRotationVar = Vector3();
        lifespan = 3.0f;
        lifespanVar = 0.0f;
        interactionMode = 0;
        initialized = false;
        emitterVisibility = 1;
        running = false;
        colorMode = 0;
        fadeColor = Vector3(1.0f, 1.0f, 1.0f);
        colorIterations = 3;
        iterateColors.clear();
        randomStartColor = false;
        alphaFading = false;
        alphaFadeBegin = 0.2f;
        alphaFadeEnd = 0.8f;
        resurrection = false;
        resurrectIterations = 1;
        resurrectParts = 2;
        resurrectSize = 1.0f;
        resurrectSizeVar = 0.0f;
        clock = 0.0f;
        nextEmitTime = 0.0f;
        generatedCount = 0;
        editEmitSpeed = editPartLifespan = editStartRotation = editEmitAngle = editEmitterBox = false;
        setName("ParticleSystem");
        setSelectable(false);
        setVisible(true);
        setColor(Vector3(0.5f, 0.2f, 0.5f));
        setPhysical(false, false, 1.0f, 0.5f, 0.5f, false);
        setBoundingVolume(NSNode::BoundingVolume::makeBoxVolume(Vector3(), Vector3(30.0f, 30.0f, 30.0f)));
    }

    virtual void initEmitter() {
        running = false;
        nextEmitTime = emitInterval();
        clock = autostart ? -autostartDelay : 0.0f;
        if (colorMode == 2) {
            iterateColors.clear();
            iterateColors.push_back(getColor());
            for (int i = 0; i < colorIterations; ++i) {
                Vector3 c(uniformSigned(), uniformSigned(), uniformSigned());
                c = c * 1.5f;
                iterateColors.push_back(Vector3(std::min(c.x, 1.0f), std::min(c.y, 1.0f), std::min(c.z, 1.0f)));
            }
        }
        std::srand(static_cast<unsigned>(std::time(nullptr)));
    }

    virtual void start() {
        running = true;
        clock = 0.0f;
        generatedCount = 0;
        dropRecords(true);
    }

    virtual void setParticleSize(Particle*, float) {}

    virtual void applyParticleAppearance(Particle* p) {
        const Vector3 c = p->node->getColor();
        applyMaterial(true, c.x, c.y, c.z);
        bool fading = false;
        const float a = particleAlpha(p, fading);
        if (fading) {
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        }
        // The colour is set once more with its alpha spelled out: Mesa may
        // keep the alpha of an earlier glColor4f through a glColor3f, and a
        // particle outside its fading would then show through.
        glColor4f(c.x, c.y, c.z, a);
    }

    // The opacity of p for its age: rising over the first alphaFadeBegin of
    // its life and falling over the part after alphaFadeEnd, when alpha
    // fading is on (fading tells whether p is in one of those parts); 1
    // otherwise.
    float particleAlpha(const Particle* p, bool& fading) const {
        fading = false;
        if (!alphaFading)
            return 1.0f;
        const float t = 1.0f - p->life / p->lifespan;
        if (t < alphaFadeBegin) {
            fading = true;
            return t / alphaFadeBegin;
        }
        if (t > alphaFadeEnd) {
            fading = true;
            return 1.0f - (t - alphaFadeEnd) / (1.0f - alphaFadeEnd);
        }
        return 1.0f;
    }

    virtual void drawEmitter() {
        const Vector3 h = emitterSize * 0.5f;
        glPushMatrix();
        glTranslatef(0.0f, 0.0f, -10.0f);
        GLUquadric* q = gluNewQuadric();
        gluCylinder(q, 3.0, 0.0, 10.0, 10, 1);
        gluPartialDisk(q, 0.0, 3.0, 10, 1, 0.0, 360.0);
        gluDeleteQuadric(q);
        glPopMatrix();

        glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
        glColor4f(1.0f, 0.0f, 0.0f, 0.4f);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        const int extents = emitterExtentCount(h);
        if (extents >= 2) {
            glDisable(GL_CULL_FACE);
            auto face = [](float tx, float ty, float tz, float angle, float ax, float ay, float nz, float w, float hh) {
                glPushMatrix();
                glTranslatef(tx, ty, tz);
                if (angle != 0.0f)
                    glRotatef(angle, ax, ay, 0.0f);
                glNormal3f(0.0f, 0.0f, nz);
                glRectf(-w, -hh, w, hh);
                glPopMatrix();
            };
            // Local extents: x spans h.x, y spans h.z, z spans h.y.
            if (h.x != 0.0f && h.y != 0.0f)
                face(0.0f, h.z, 0.0f, 90.0f, 1.0f, 0.0f, -1.0f, h.x, h.y);
            if (h.x != 0.0f && h.z != 0.0f)
                face(0.0f, 0.0f, h.y, 0.0f, 0.0f, 0.0f, 1.0f, h.x, h.z);
            if (h.y != 0.0f && h.z != 0.0f)
                face(h.x, 0.0f, 0.0f, 90.0f, 0.0f, 1.0f, -1.0f, h.y, h.z);
            if (extents == 3) {
                face(0.0f, 0.0f, -h.y, 0.0f, 0.0f, 0.0f, -1.0f, h.x, h.z);
                face(-h.x, 0.0f, 0.0f, 270.0f, 0.0f, 1.0f, -1.0f, h.y, h.z);
                face(0.0f, -h.z, 0.0f, 270.0f, 1.0f, 0.0f, -1.0f, h.x, h.y);
            }
        } else if (extents == 1) {
            glLineWidth(3.0f);
            glBegin(GL_LINES);
            if (h.y != 0.0f) {
                glVertex3f(0.0f, 0.0f, -h.y);
                glVertex3f(0.0f, 0.0f, h.y);
            } else if (h.z != 0.0f) {
                glVertex3f(0.0f, -h.z, 0.0f);
                glVertex3f(0.0f, h.z, 0.0f);
            } else {
                glVertex3f(-h.x, 0.0f, 0.0f);
                glVertex3f(h.x, 0.0f, 0.0f);
            }
            glEnd();
        }
        glPopAttrib();
    }

    virtual T* makeParticleNode() = 0;
    virtual void onParticleCreated(Particle*) {}

    void draw() override {
        NodeGraphic::draw();
        if (!isVisible())
            return;
        const bool named = isSelectable() || NSMenu::isDesignerEditing();
        if (named)
            glPushName(static_cast<GLuint>(getId()));
        applyMaterial(false, 0.0f, 0.0f, 0.0f);
        NSScene::Scene* scene = currentScene();
        const bool stopped = !scene || !scene->isRunning();
        if ((stopped && emitterVisibility == 2) || (NSMenu::isDesignerEditing() && emitterVisibility == 1))
            drawEmitter();
        if (named)
            glPopName();
    }

    void simulate(float dt) override {
        NodeGraphic::simulate(dt);
        if (!isVisible())
            return;
        if (!initialized) {
            initialized = true;
            initEmitter();
        }
        if (!running) {
            if (autostart) {
                clock += dt;
                if (clock >= 0.0f)
                    start();
            }
            return;
        }
        clock += dt;
        std::vector<Particle*> born;
        std::vector<Particle*> dead;
        for (size_t i = particles.size(); i-- > 0;) {
            Particle* p = particles[i];
            if (!p->node) { // its node went away with the scene
                particles.erase(particles.begin() + static_cast<long>(i));
                delete p;
                continue;
            }
            p->life -= dt;
            if (p->life > 0.0f) {
                const float t = 1.0f - p->life / p->lifespan;
                if (colorMode == 1) {
                    p->node->setColor(getColor() + (fadeColor - getColor()) * t);
                } else if (colorMode == 2 && iterateColors.size() > 1) {
                    const int n = static_cast<int>(iterateColors.size());
                    const float f = static_cast<float>(n - 1) * t;
                    int k = std::max(0, std::min(n - 2, static_cast<int>(std::floor(f))));
                    p->node->setColor(iterateColors[k] + (iterateColors[k + 1] - iterateColors[k]) * (f - k));
                }
                if (!p->node->isRegistered() && interactionMode == 2 && !p->node->hitTestAll(Vector3()).hit)
                    p->node->registerForHits();
                continue;
            }
            if (resurrection && p->generation <= resurrectIterations) {
                for (int k = 0; k < resurrectParts; ++k) {
                    if (!canEmit(born.size()))
                        continue;
                    Particle* q = createParticle(p->node->worldPosition(), p->node->getVelocity(), false);
                    if (!q) {
                        --generatedCount;
                        continue;
                    }
                    q->generation = p->generation + 1;
                    setParticleSize(q, std::max(0.01f, resurrectSize * (1.0f + uniformSigned() * resurrectSizeVar)));
                    born.push_back(q);
                }
            }
            particles.erase(particles.begin() + static_cast<long>(i));
            dead.push_back(p);
        }
        const Vector3 d = worldRotation().transformPoint(Vector3(0.0f, 0.0f, 1.0f));
        while (nextEmitTime < clock) {
            if (canEmit(born.size())) {
                if (Particle* q = createParticle(worldPosition(), d, true))
                    born.push_back(q);
                else
                    --generatedCount;
            }
            nextEmitTime += emitInterval();
        }
        for (Particle* p : dead) {
            unlinkNode(p);
            p->node->removeLater();
            delete p;
        }
        NSNode::NodeTransform* top = treeTop(this);
        for (Particle* p : born) {
            top->addChildLater(p->node);
            particles.push_back(p);
        }
    }

    // The emission limits; a yes counts the particle as generated.
    bool canEmit(size_t pendingBirths = 0) {
        if (emitDurationEnabled && clock >= emitDuration)
            return false;
        if (partsMaxEnabled && generatedCount >= partsMax)
            return false;
        if (maxVisibleEnabled && static_cast<int>(particles.size() + pendingBirths) >= maxVisible)
            return false;
        ++generatedCount;
        return true;
    }

    Particle* createParticle(const Vector3& position, const Vector3& direction, bool fromEmitter) {
        Particle* p = new Particle();
        p->node = makeParticleNode();
        if (!p->node) {
            delete p;
            return nullptr;
        }
        if (auto* link = dynamic_cast<ParticleLink*>(p->node))
            link->link(this, p);
        if (interactionMode == 1)
            p->node->registerForHits();
        p->lifespan = p->life = lifespan * (1.0f + uniformSigned() * lifespanVar);
        const int attempts = fromEmitter ? 5 : 1;
        bool placed = false;
        for (int a = 0; a < attempts && !placed; ++a) {
            p->node->setPosition(position);
            if (fromEmitter) {
                Vector3 offset(uniformSigned() * emitterSize.x * 0.5f, uniformSigned() * emitterSize.z * 0.5f,
                               uniformSigned() * emitterSize.y * 0.5f);
                p->node->translate(worldRotation().transformPoint(offset));
            }
            placed = !(interactionMode == 1 && p->node->hitTestAll(Vector3()).hit);
        }
        if (!placed) {
            p->node->unregisterForHits();
            unlinkNode(p);
            delete p->node;
            delete p;
            return nullptr;
        }
        p->node->setRotation(Vector3(uniformSigned() * startRotationVar.x * startRotation.x * kTwoPi,
                                     uniformSigned() * startRotationVar.y * startRotation.y * kTwoPi,
                                     uniformSigned() * startRotationVar.z * startRotation.z * kTwoPi));
        p->node->setScale(1.0f);
        Matrix4 r;
        r.rotate(uniformSigned() * emitAngle.x * kPi, Vector3(0.0f, 1.0f, 0.0f));
        r.rotate(uniformSigned() * emitAngle.y * kPi, Vector3(1.0f, 0.0f, 0.0f));
        p->node->setVelocity(r.transformPoint(normalised(direction)) * emitSpeed *
                             (1.0f + uniformSigned() * emitSpeedVar));
        p->node->setAngularVelocity(Vector3((1.0f + uniformSigned() * startRotationVar.x) * startRotation.x * kTwoPi,
                                            (1.0f + uniformSigned() * startRotationVar.y) * startRotation.y * kTwoPi,
                                            (1.0f + uniformSigned() * startRotationVar.z) * startRotation.z * kTwoPi));
        if (randomStartColor && colorMode == 0)
            p->node->setColor(Vector3(uniformSigned(), uniformSigned(), uniformSigned()));
        else
            p->node->setColor(getColor());
        onParticleCreated(p);
        return p;
    }

    // The time to the next emission. Without a positive rate nothing is ever
    // emitted (the emission loop would not end); the variation is held to
    // the menu's 0..1 so that emissions never go back in time.
    float emitInterval() {
        if (!(partsPerSec > 0.0f) || !std::isfinite(partsPerSec))
            return HUGE_VALF;
        const float variation = std::min(std::max(partsPerSecVar, 0.0f), 1.0f);
        return (1.0f / partsPerSec) * (1.0f + uniformSigned() * variation);
    }

    // ParticleOwner
    void particleAppearance(void* record) override { applyParticleAppearance(static_cast<Particle*>(record)); }
    void particleNodeGone(void* record) override {
        for (Particle* p : particles)
            if (p == record)
                p->node = nullptr;
    }

    unsigned getMenuFlags() override { return 0x6FFF1C63u; }
    int classId() const override { return CLASS_PARTICLE_SYSTEM; }

    void serialize(NSSerialize::SerialStream& s) override {
        NodeGraphic::serialize(s);
        if (!s.isCurrentVersion())
            return;
        s.transfer(emitterSize);
        s.transfer(emitAngle);
        s.transfer(emitSpeed);
        s.transfer(emitSpeedVar);
        s.transfer(autostart);
        s.transfer(autostartDelay);
        // A file may ask for no more than the menu offers: a rate or a
        // resurrection count beyond it buries the scene in particles.
        s.transfer(partsPerSec, "particles per second", NSSerialize::FieldLimits{0.0f, kMaxPartsPerSec});
        s.transfer(partsPerSecVar);
        s.transfer(maxVisible);
        s.transfer(maxVisibleEnabled);
        s.transfer(partsMax);
        s.transfer(partsMaxEnabled);
        s.transfer(emitDuration);
        s.transfer(emitDurationEnabled);
        s.transfer(startRotation);
        s.transfer(startRotationVar);
        s.transfer(lifespan);
        s.transfer(lifespanVar);
        s.transfer(interactionMode);
        s.transfer(resurrection);
        s.transfer(resurrectParts);
        s.transfer(resurrectIterations);
        if (s.isReading()) {
            resurrectParts = std::min(std::max(resurrectParts, 0), kMaxResurrectParts);
            resurrectIterations = std::min(std::max(resurrectIterations, 0), kMaxResurrectIterations);
        }
        s.transfer(resurrectSize);
        s.transfer(resurrectSizeVar);
        s.transfer(emitterVisibility);
        s.transfer(colorMode);
        s.transfer(fadeColor);
        s.transfer(colorIterations);
        s.transfer(randomStartColor);
        s.transfer(alphaFading);
        s.transfer(alphaFadeBegin);
        s.transfer(alphaFadeEnd);
        s.transfer(editEmitSpeed);
        s.transfer(editPartLifespan);
        s.transfer(editStartRotation);
        s.transfer(editEmitAngle);
        s.transfer(editEmitterBox);
    }

    void copyFrom(const NSClone::Cloneable* source) override {
        auto* o = dynamic_cast<const ObjectParticleSystem<T>*>(source);
        if (!o || o == this)
            return;
        NodeGraphic::copyFrom(source);
        emitterSize = o->emitterSize;
        emitAngle = o->emitAngle;
        emitSpeed = o->emitSpeed;
        emitSpeedVar = o->emitSpeedVar;
        autostart = o->autostart;
        autostartDelay = o->autostartDelay;
        partsPerSec = o->partsPerSec;
        partsPerSecVar = o->partsPerSecVar;
        maxVisible = o->maxVisible;
        maxVisibleEnabled = o->maxVisibleEnabled;
        partsMax = o->partsMax;
        partsMaxEnabled = o->partsMaxEnabled;
        emitDuration = o->emitDuration;
        emitDurationEnabled = o->emitDurationEnabled;
        startRotation = o->startRotation;
        startRotationVar = o->startRotationVar;
        lifespan = o->lifespan;
        lifespanVar = o->lifespanVar;
        interactionMode = o->interactionMode;
        emitterVisibility = o->emitterVisibility;
        colorMode = o->colorMode;
        fadeColor = o->fadeColor;
        colorIterations = o->colorIterations;
        iterateColors = o->iterateColors;
        randomStartColor = o->randomStartColor;
        alphaFading = o->alphaFading;
        alphaFadeBegin = o->alphaFadeBegin;
        alphaFadeEnd = o->alphaFadeEnd;
        resurrection = o->resurrection;
        resurrectIterations = o->resurrectIterations;
        resurrectParts = o->resurrectParts;
        resurrectSize = o->resurrectSize;
        resurrectSizeVar = o->resurrectSizeVar;
        editEmitSpeed = o->editEmitSpeed;
        editPartLifespan = o->editPartLifespan;
        editStartRotation = o->editStartRotation;
        editEmitAngle = o->editEmitAngle;
        editEmitterBox = o->editEmitterBox;
    }

    bool setMenuValue(std::string label, NSMenu::Value value) override {
        if (label == "Mode Constant" || label == "Mode Fade" || label == "Mode Iterate") {
            colorMode = label == "Mode Constant" ? 0 : (label == "Mode Fade" ? 1 : 2);
            touchSideMenu();
            return true;
        }
        if (label == "No Interaction" || label == "From Beginning" || label == "First no-Hit") {
            interactionMode = value.intValue;
            return true;
        }
        if (label == "Visible") {
            emitterVisibility = value.boolValue ? 2 : 1;
            return true;
        }
        Field f = field(label);
        if (f.b)
            *f.b = value.boolValue;
        else if (f.i)
            *f.i = value.intValue;
        else if (f.f)
            *f.f = value.floatValue;
        else
            return NodeGraphic::setMenuValue(label, value);
        return true;
    }

    NSMenu::Value getMenuValue(std::string label) override {
        if (label == "Visible")
            return NSMenu::Value::ofBool(emitterVisibility == 2);
        // The running page and the mode lines change without a rebuild of
        // the menu; its refresh reads them here.
        if (label == "Visible Particles")
            return NSMenu::Value::ofInt(static_cast<int>(particles.size()));
        if (label == "Generated Particles")
            return NSMenu::Value::ofInt(generatedCount);
        if (label == "Interaction Mode")
            return NSMenu::Value::ofString(interactionName(interactionMode));
        if (label == "Color Mode")
            return NSMenu::Value::ofString(colorModeName(colorMode));
        if (label == "Mode Constant" || label == "Mode Fade" || label == "Mode Iterate")
            return NSMenu::Value::ofBool(true);
        Field f = field(label);
        if (f.b)
            return NSMenu::Value::ofBool(*f.b);
        if (f.i)
            return NSMenu::Value::ofInt(*f.i);
        if (f.f)
            return NSMenu::Value::ofFloat(*f.f);
        return NodeGraphic::getMenuValue(label);
    }

    void appendObjectMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override {
        using namespace NSMenu;
        const unsigned flags = getMenuFlags();
        NSScene::Scene* scene = currentScene();
        if (scene && scene->isRunning()) {
            list.emplace_back(nullptr, "PARTICLE DETAILS", TYPE_STRING, KIND_HEADER, Value(), false);
            list.push_back(intLine("Visible Particles", KIND_INPUT, static_cast<int>(particles.size()), 0, 99999, false));
            list.push_back(intLine("Generated Particles", KIND_INPUT, generatedCount, 0, 99999, false));
            return;
        }
        auto editGroup = [&](unsigned bit, bool& flag, const char* editLabel, auto body) {
            if ((flags & bit) && (detailed || flag)) {
                if (detailed)
                    list.push_back(boolLine(editLabel, flag));
                body();
            }
            list.emplace_back();
        };
        auto customGroup = [&](unsigned bit, bool separator, auto body) {
            if ((flags & bit) && detailed)
                body();
            if (separator)
                list.emplace_back();
        };
        editGroup(0x10000, editEmitterBox, "Edit Emitter-Box", [&] {
            list.push_back(floatLine("Emitter-Length", KIND_INPUT, emitterSize.x, 0, 1000));
            list.push_back(floatLine("Emitter-Width", KIND_INPUT, emitterSize.y, 0, 1000));
            list.push_back(floatLine("Emitter-Height", KIND_INPUT, emitterSize.z, 0, 1000));
        });
        editGroup(0x20000, editEmitAngle, "Edit Emit-Angle", [&] {
            list.push_back(floatLine("Emit-Angle X", KIND_SLIDER, emitAngle.x, 0, 1));
            list.push_back(floatLine("Emit-Angle Y", KIND_SLIDER, emitAngle.y, 0, 1));
        });
        editGroup(0x40000, editEmitSpeed, "Edit Emit-Speed", [&] {
            list.push_back(floatLine("Emit-Speed", KIND_INPUT, emitSpeed, 0, 999));
            list.push_back(floatLine("Emit-Speed Var.", KIND_SLIDER, emitSpeedVar, 0, 1));
        });
        editGroup(0x1000000, editStartRotation, "Edit Start-Rotation", [&] {
            const char* axes[3] = {"X", "Y", "Z"};
            const float rot[3] = {startRotation.x, startRotation.y, startRotation.z};
            const float var[3] = {startRotationVar.x, startRotationVar.y, startRotationVar.z};
            for (int a = 0; a < 3; ++a)
                list.push_back(floatLine(std::string("Start-Rotation ") + axes[a], KIND_SLIDER, rot[a], 0, 3));
            for (int a = 0; a < 3; ++a)
                list.push_back(floatLine(std::string("Start-Rotation ") + axes[a] + " Var.", KIND_SLIDER, var[a], 0, 1));
        });
        editGroup(0x2000000, editPartLifespan, "Edit Part-Lifespan", [&] {
            list.push_back(floatLine("Part-Lifespan", KIND_INPUT, lifespan, 0, 200));
            list.push_back(floatLine("Part-Lifespan Var.", KIND_SLIDER, lifespanVar, 0, 1));
        });
        customGroup(0x80000, true, [&] {
            list.push_back(boolLine("Enable Autostart", autostart));
            list.push_back(floatLine("Autostart Delay", KIND_INPUT, autostartDelay, 0, 500));
        });
        customGroup(0x100000, false, [&] {
            list.push_back(floatLine("Parts Per Sec.", KIND_INPUT, partsPerSec, 0, kMaxPartsPerSec));
            list.push_back(floatLine("Parts Per Sec. Var.", KIND_SLIDER, partsPerSecVar, 0, 1));
        });
        customGroup(0x400000, false, [&] {
            list.push_back(boolLine("Enable Parts Max", partsMaxEnabled));
            list.push_back(intLine("Parts Max", KIND_INPUT, partsMax, 0, 9999));
        });
        customGroup(0x800000, false, [&] {
            list.push_back(boolLine("Enable Emit Duration", emitDurationEnabled));
            list.push_back(floatLine("Emit Duration", KIND_INPUT, emitDuration, 0, 9999));
        });
        customGroup(0x200000, true, [&] {
            list.push_back(boolLine("Enable Max Visible", maxVisibleEnabled));
            list.push_back(intLine("Parts Max Visible", KIND_INPUT, maxVisible, 0, 9999));
        });
        customGroup(0x8000000, true, [&] {
            list.push_back(boolLine("Enable Resurrection", resurrection));
            list.push_back(intLine("Resurrect-Parts", KIND_SLIDER, resurrectParts, 0, kMaxResurrectParts));
            list.push_back(intLine("Resurrect-Iterations", KIND_SLIDER, resurrectIterations, 0, kMaxResurrectIterations));
            list.push_back(floatLine("Resurrect-Size", KIND_SLIDER, resurrectSize, 0, 3));
            list.push_back(floatLine("Resurrect-Size Var.", KIND_SLIDER, resurrectSizeVar, 0, 1));
        });
        customGroup(0x4000000, true, [&] {
            list.emplace_back(nullptr, "Interaction", TYPE_BOOL, KIND_HEADER, Value(), false);
            const char* modes[3] = {"No Interaction", "From Beginning", "First no-Hit"};
            for (int m = 0; m < 3; ++m)
                list.emplace_back(nullptr, modes[m], TYPE_INT, KIND_BUTTON, Value::ofInt(m), true);
            list.emplace_back(this, "Interaction Mode", TYPE_STRING, KIND_INPUT,
                              Value::ofString(interactionName(interactionMode)), false);
        });
        customGroup(0x40000000, true, [&] {
            list.emplace_back(nullptr, "Color", TYPE_BOOL, KIND_HEADER, Value(), false);
            for (const char* m : {"Mode Constant", "Mode Fade", "Mode Iterate"})
                list.emplace_back(this, m, TYPE_BOOL, KIND_BUTTON, Value::ofBool(true), true);
            list.emplace_back(this, "Color Mode", TYPE_STRING, KIND_INPUT, Value::ofString(colorModeName(colorMode)),
                              false);
            const Vector3 c = getColor();
            list.push_back(floatLine("Color Red", KIND_SLIDER, c.x, 0, 1));
            list.push_back(floatLine("Color Green", KIND_SLIDER, c.y, 0, 1));
            list.push_back(floatLine("Color Blue", KIND_SLIDER, c.z, 0, 1));
            if (colorMode == 0) {
                list.push_back(boolLine("Random Start Color", randomStartColor));
            } else if (colorMode == 1) {
                list.push_back(floatLine("Fade Color Red", KIND_SLIDER, fadeColor.x, 0, 1));
                list.push_back(floatLine("Fade Color Green", KIND_SLIDER, fadeColor.y, 0, 1));
                list.push_back(floatLine("Fade Color Blue", KIND_SLIDER, fadeColor.z, 0, 1));
            } else {
                list.push_back(intLine("Color Iterations", KIND_SLIDER, colorIterations, 1, 30));
            }
        });
        if (detailed) {
            list.push_back(boolLine("Enable Alpha Fading", alphaFading));
            list.push_back(floatLine("Alpha Fading Begin", KIND_SLIDER, alphaFadeBegin, 0, 1));
            list.push_back(floatLine("Alpha Fading End", KIND_SLIDER, alphaFadeEnd, 0, 1));
        }
        list.emplace_back();
        customGroup(0x20000000, true, [&] { list.push_back(boolLine("Visible", emitterVisibility == 2)); });
    }

    const std::vector<Particle*>& getParticles() const { return particles; }
    bool isRunning() const { return running; }
    int getGeneratedCount() const { return generatedCount; }
    float getClock() const { return clock; }

    // Settings, open to the level builders and the tests.
    Vector3 emitterSize, emitAngle;
    float emitSpeed = 0, emitSpeedVar = 0;
    bool autostart = false;
    float autostartDelay = 0, partsPerSec = 10, partsPerSecVar = 0;
    int maxVisible = 0;
    bool maxVisibleEnabled = false;
    int partsMax = 0;
    bool partsMaxEnabled = false;
    float emitDuration = 0;
    bool emitDurationEnabled = false;
    Vector3 startRotation, startRotationVar;
    float lifespan = 1, lifespanVar = 0;
    int interactionMode = 0;
    int emitterVisibility = 1;
    int colorMode = 0;
    Vector3 fadeColor;
    int colorIterations = 3;
    std::vector<Vector3> iterateColors;
    bool randomStartColor = false, alphaFading = false;
    float alphaFadeBegin = 0.2f, alphaFadeEnd = 0.8f;
    bool resurrection = false;
    int resurrectIterations = 1, resurrectParts = 2;
    float resurrectSize = 1, resurrectSizeVar = 0;
    bool editEmitSpeed = false, editPartLifespan = false, editStartRotation = false, editEmitAngle = false,
         editEmitterBox = false;

protected:
    NSMenu::MenuEntry floatLine(const std::string& label, unsigned kind, float v, int lo, int hi,
                                bool enabled = true) {
        return NSMenu::MenuEntry(this, label, NSMenu::TYPE_FLOAT, kind, NSMenu::Value::ofFloat(v), enabled,
                                 new NSMenu::ValueConstraintRange(lo, hi, float(lo), float(hi)));
    }
    NSMenu::MenuEntry intLine(const std::string& label, unsigned kind, int v, int lo, int hi, bool enabled = true) {
        return NSMenu::MenuEntry(this, label, NSMenu::TYPE_INT, kind, NSMenu::Value::ofInt(v), enabled,
                                 new NSMenu::ValueConstraintRange(lo, hi, float(lo), float(hi)));
    }
    NSMenu::MenuEntry boolLine(const std::string& label, bool v) {
        return NSMenu::MenuEntry(this, label, NSMenu::TYPE_BOOL, NSMenu::KIND_BOOL, NSMenu::Value::ofBool(v), true);
    }

private:
    struct Field {
        bool* b = nullptr;
        int* i = nullptr;
        float* f = nullptr;
    };
    Field field(const std::string& l) {
        Field r;
        struct B { const char* l; bool* p; };
        struct I { const char* l; int* p; };
        struct F { const char* l; float* p; };
        const B bools[] = {{"Enable Autostart", &autostart}, {"Enable Max Visible", &maxVisibleEnabled},
                           {"Enable Parts Max", &partsMaxEnabled}, {"Enable Emit Duration", &emitDurationEnabled},
                           {"Random Start Color", &randomStartColor}, {"Enable Alpha Fading", &alphaFading},
                           {"Enable Resurrection", &resurrection}, {"Edit Emit-Speed", &editEmitSpeed},
                           {"Edit Part-Lifespan", &editPartLifespan}, {"Edit Start-Rotation", &editStartRotation},
                           {"Edit Emit-Angle", &editEmitAngle}, {"Edit Emitter-Box", &editEmitterBox}};
        const I ints[] = {{"Parts Max", &partsMax}, {"Parts Max Visible", &maxVisible},
                          {"Color Iterations", &colorIterations}, {"Resurrect-Iterations", &resurrectIterations},
                          {"Resurrect-Parts", &resurrectParts}};
        const F floats[] = {{"Emitter-Length", &emitterSize.x}, {"Emitter-Width", &emitterSize.y},
                            {"Emitter-Height", &emitterSize.z}, {"Emit-Angle X", &emitAngle.x},
                            {"Emit-Angle Y", &emitAngle.y}, {"Emit-Speed", &emitSpeed},
                            {"Emit-Speed Var.", &emitSpeedVar}, {"Autostart Delay", &autostartDelay},
                            {"Parts Per Sec.", &partsPerSec}, {"Parts Per Sec. Var.", &partsPerSecVar},
                            {"Emit Duration", &emitDuration}, {"Start-Rotation X", &startRotation.x},
                            {"Start-Rotation Y", &startRotation.y}, {"Start-Rotation Z", &startRotation.z},
                            {"Start-Rotation X Var.", &startRotationVar.x},
                            {"Start-Rotation Y Var.", &startRotationVar.y},
                            {"Start-Rotation Z Var.", &startRotationVar.z}, {"Part-Lifespan", &lifespan},
                            {"Part-Lifespan Var.", &lifespanVar}, {"Fade Color Red", &fadeColor.x},
                            {"Fade Color Green", &fadeColor.y}, {"Fade Color Blue", &fadeColor.z},
                            {"Alpha Fading Begin", &alphaFadeBegin}, {"Alpha Fading End", &alphaFadeEnd},
                            {"Resurrect-Size", &resurrectSize}, {"Resurrect-Size Var.", &resurrectSizeVar}};
        for (const B& e : bools)
            if (l == e.l)
                r.b = e.p;
        for (const I& e : ints)
            if (l == e.l)
                r.i = e.p;
        for (const F& e : floats)
            if (l == e.l)
                r.f = e.p;
        return r;
    }

    void unlinkNode(Particle* p) {
        if (auto* link = dynamic_cast<ParticleLink*>(p->node))
            link->unlink();
    }

    // Drops every record; with destroyNodes the nodes go too (queued when
    // they hang in a tree), otherwise they are only told that the system is gone.
    void dropRecords(bool destroyNodes) {
        for (Particle* p : particles) {
            if (p->node) {
                unlinkNode(p);
                if (destroyNodes)
                    p->node->removeLater();
            }
            delete p;
        }
        particles.clear();
    }

    std::vector<Particle*> particles;
    bool initialized = false;
    bool running = false;
    float clock = 0;
    float nextEmitTime = 0;
    int generatedCount = 0;
};

} // namespace NSParticle
