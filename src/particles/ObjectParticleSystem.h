#pragma once
// The emitter behind every particle system: a box that, once started, sends
// out particles with a speed, a spread and a spin. Each particle is a scene
// node of its own, added to and removed from the scene through the deferred
// queues; it ages, changes colour, may fade in and out and may split into
// smaller particles when it dies. The kinds of system differ in the node a
// particle is (makeParticleNode) and in how that node keeps its colour.
#include <string>
#include <vector>

#include "objects/NodeGraphic.h"
#include "particles/ParticleSupport.h"

namespace NSParticle {

// The top of the tree node hangs in.
NSNode::NodeTransform* treeTop(NSNode::NodeTransform* node);
// The menu words of the interaction and colour modes.
const char* interactionName(int mode);
const char* colorModeName(int mode);

// Every setting of an emitter: what the menu shows, the file keeps and a
// copy takes over.
struct EmitterSettings {
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
};

class ObjectParticleSystem : public NSNode::NodeGraphic, public ParticleOwner, public EmitterSettings {
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
        NSNode::NodePhysical* node = nullptr;
    };

    // linkedNodes: the particle nodes are ParticleLinks and tell the system
    // when they go; other nodes cannot, so the system never touches them
    // once it is gone.
    ObjectParticleSystem(bool full, bool linkedNodes);
    ~ObjectParticleSystem() override;

    virtual void setDefaults();
    virtual void initEmitter();
    virtual void start();
    virtual void setParticleSize(Particle*, float) {}
    virtual void applyParticleAppearance(Particle* p);

    // The opacity of p for its age: rising over the first alphaFadeBegin of
    // its life and falling over the part after alphaFadeEnd, when alpha
    // fading is on (fading tells whether p is in one of those parts); 1
    // otherwise.
    float particleAlpha(const Particle* p, bool& fading) const;

    virtual void drawEmitter();

    // The node a new particle is, or null when there is none to make.
    virtual NSNode::NodePhysical* makeParticleNode() = 0;
    // The colour a particle node shows, kept where its kind of node keeps it.
    virtual Vector3 nodeColor(const NSNode::NodePhysical* node) const = 0;
    virtual void setNodeColor(NSNode::NodePhysical* node, const Vector3& c) = 0;
    virtual void onParticleCreated(Particle*) {}

    void draw() override;
    void simulate(float dt) override;

    // The emission limits; a yes counts the particle as generated.
    bool canEmit(size_t pendingBirths = 0);
    Particle* createParticle(const Vector3& position, const Vector3& direction, bool fromEmitter);

    // The time to the next emission. Without a positive rate nothing is ever
    // emitted (the emission loop would not end); the variation is held to
    // the menu's 0..1 so that emissions never go back in time.
    float emitInterval();

    // ParticleOwner
    void particleAppearance(void* record) override { applyParticleAppearance(static_cast<Particle*>(record)); }
    void particleNodeGone(void* record) override;

    unsigned getMenuFlags() override { return 0x6FFF1C63u; }
    int classId() const override;
    void serialize(NSSerialize::SerialStream& s) override;
    void copyFrom(const NSClone::Cloneable* source) override;
    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    void appendObjectMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;

    const std::vector<Particle*>& getParticles() const { return particles; }
    bool isRunning() const { return running; }
    int getGeneratedCount() const { return generatedCount; }
    float getClock() const { return clock; }

protected:
    NSMenu::MenuEntry floatLine(const std::string& label, unsigned kind, float v, int lo, int hi,
                                bool enabled = true);
    NSMenu::MenuEntry intLine(const std::string& label, unsigned kind, int v, int lo, int hi, bool enabled = true);
    NSMenu::MenuEntry boolLine(const std::string& label, bool v);

private:
    // The setting a menu label names: one of the three is set, or none.
    struct Field {
        bool* b = nullptr;
        int* i = nullptr;
        float* f = nullptr;
    };
    Field field(const std::string& l);
    // The menu's lines of the emitter's box, angle, speed, start rotation and lifespan.
    void emitterEntries(std::vector<NSMenu::MenuEntry>& list, unsigned flags, bool detailed);
    // The editor's lines of autostart, rates, limits and resurrection.
    void amountEntries(std::vector<NSMenu::MenuEntry>& list, unsigned flags, bool detailed);
    // The editor's colour mode and colour lines.
    void colourEntries(std::vector<NSMenu::MenuEntry>& list);

    void unlinkNode(Particle* p);
    // Drops every record; with destroyNodes the nodes go too (queued when
    // they hang in a tree), otherwise they are only told that the system is gone.
    void dropRecords(bool destroyNodes);

    const bool linkedNodes;
    std::vector<Particle*> particles;
    bool initialized = false;
    bool running = false;
    float clock = 0;
    float nextEmitTime = 0;
    int generatedCount = 0;
};

} // namespace NSParticle
