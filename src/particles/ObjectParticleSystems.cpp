#include "particles/ObjectParticleSystems.h"

#include <GL/gl.h>

#include <algorithm>

#include "persistence/ClassIds.h"
#include "resources/LoaderGLTexture.h"
#include "scene/Scene.h"

using NSMenu::MenuEntry;
using NSMenu::Value;
using NSClone::cloneOf;

namespace NSParticle {

QBN_REGISTER_CLASS(CLASS_PARTICLE_SYSTEM_SIMPLE, ObjectParticleSystemSimple)
QBN_REGISTER_CLASS(CLASS_PARTICLE_SYSTEM_TEXTURE, ObjectParticleSystemTexture)
QBN_REGISTER_CLASS(CLASS_PARTICLE_SYSTEM_COMPLEX, ObjectParticleSystemComplex)

NSNode::NodeTransform* treeTop(NSNode::NodeTransform* node) {
    while (node->getParent())
        node = node->getParent();
    return node;
}

const char* interactionName(int mode) {
    return mode == 1 ? "From Beginning" : (mode == 2 ? "First no-Hit" : "No Interaction");
}

const char* colorModeName(int mode) {
    return mode == 1 ? "Fade Color" : (mode == 2 ? "Iterate Color" : "Constant Color");
}

namespace {

float varied(float base, float variation) { return base * (1.0f + uniformSigned() * variation); }

const char* const kShapes[3] = {"Sphere", "Cube", "Tetraeder"};

} // namespace

// --- simple ---

// The base gets the full flag too: a full system is a full node, with its
// own id and the drawable node's defaults. The base's constructor could only
// reach its own part of setDefaults, so it runs once more here, whole.
ObjectParticleSystemSimple::ObjectParticleSystemSimple(bool full) : ObjectParticleSystem(full, true) {
    if (full)
        setDefaults();
}

void ObjectParticleSystemSimple::setDefaults() {
    ObjectParticleSystem::setDefaults();
    particleSize = 3.0f;
    particleSizeVar = 0.0f;
    editParticleSize = false;
    shape = 0;
    sphereDetail = 6;
    setName("Particle Simple");
    setPicture("particlesimple_pic.bmp");
}

NSNode::NodePhysical* ObjectParticleSystemSimple::makeParticleNode() {
    const float s = varied(particleSize, particleSizeVar);
    if (shape == 1)
        return new SimpleParticleCube(s);
    if (shape == 2)
        return new SimpleParticleTetraeder(s);
    return new SimpleParticleSphere(s, sphereDetail);
}

void ObjectParticleSystemSimple::onParticleCreated(Particle* p) {
    // Fading shapes are see-through for a while: they go to the scene's
    // back-to-front pass then.
    p->node->setDeferredDraw(alphaFading);
}

void ObjectParticleSystemSimple::appendObjectMenuEntries(std::vector<MenuEntry>& list, bool detailed) {
    using namespace NSMenu;
    if (detailed) {
        list.emplace_back(nullptr, "PARTICLE TYPE", TYPE_BOOL, KIND_HEADER, Value(), true);
        list.emplace_back(this, "Particle Type", TYPE_STRING, KIND_TEXT,
                          Value::ofString(kShapes[shape >= 0 && shape < 3 ? shape : 0]), true);
        for (const char* s : {"Cube", "Sphere", "Tetraeder"})
            list.emplace_back(this, s, TYPE_BOOL, KIND_BUTTON, Value::ofBool(true), true);
        list.push_back(intLine("Sphere Detail", KIND_SLIDER, sphereDetail, 3, 30));
    }
    list.emplace_back();
    if (detailed || editParticleSize) {
        if (detailed)
            list.push_back(boolLine("Edit Particle Size", editParticleSize));
        list.push_back(floatLine("Particle Size", KIND_SLIDER, particleSize, 0, 15));
        list.push_back(floatLine("Particle Size Var.", KIND_SLIDER, particleSizeVar, 0, 1));
    }
    list.emplace_back();
    ObjectParticleSystem::appendObjectMenuEntries(list, detailed);
}

bool ObjectParticleSystemSimple::setMenuValue(std::string label, Value value) {
    if (label == "Sphere" || label == "Cube" || label == "Tetraeder")
        shape = label == "Sphere" ? 0 : (label == "Cube" ? 1 : 2);
    else if (label == "Sphere Detail")
        sphereDetail = value.intValue;
    else if (label == "Particle Size")
        particleSize = value.floatValue;
    else if (label == "Particle Size Var.")
        particleSizeVar = value.floatValue;
    else if (label == "Edit Particle Size")
        editParticleSize = value.boolValue;
    else
        return ObjectParticleSystem::setMenuValue(label, value);
    return true;
}

Value ObjectParticleSystemSimple::getMenuValue(std::string label) {
    if (label == "Particle Type")
        return Value::ofString(kShapes[shape >= 0 && shape < 3 ? shape : 0]);
    if (label == "Sphere" || label == "Cube" || label == "Tetraeder")
        return Value::ofBool(true);
    if (label == "Sphere Detail")
        return Value::ofInt(sphereDetail);
    if (label == "Particle Size")
        return Value::ofFloat(particleSize);
    if (label == "Particle Size Var.")
        return Value::ofFloat(particleSizeVar);
    if (label == "Edit Particle Size")
        return Value::ofBool(editParticleSize);
    return ObjectParticleSystem::getMenuValue(label);
}

int ObjectParticleSystemSimple::classId() const { return CLASS_PARTICLE_SYSTEM_SIMPLE; }

void ObjectParticleSystemSimple::serialize(NSSerialize::SerialStream& s) {
    ObjectParticleSystem::serialize(s);
    if (!s.isCurrentVersion())
        return;
    s.transfer(particleSize);
    s.transfer(particleSizeVar);
    s.transfer(editParticleSize);
    s.transfer(shape);
    s.transfer(sphereDetail);
}

NSClone::Cloneable* ObjectParticleSystemSimple::clone() const { return cloneOf(*this); }

void ObjectParticleSystemSimple::copyFrom(const NSClone::Cloneable* source) {
    auto* o = dynamic_cast<const ObjectParticleSystemSimple*>(source);
    if (!o || o == this)
        return;
    ObjectParticleSystem::copyFrom(source);
    particleSize = o->particleSize;
    particleSizeVar = o->particleSizeVar;
    editParticleSize = o->editParticleSize;
    shape = o->shape;
    sphereDetail = o->sphereDetail;
}

// --- texture ---

ObjectParticleSystemTexture::ObjectParticleSystemTexture(bool full) : ObjectParticleSystem(full, true) {
    if (full)
        setDefaults();
}

void ObjectParticleSystemTexture::setDefaults() {
    ObjectParticleSystem::setDefaults();
    textureFile = "point.bmp";
    particleSize = 5.0f;
    particleSizeVar = 0.0f;
    setName("Particle Texture");
    setPicture("particletexture_pic.bmp");
    // The sprites are drawn with the system, after the solid objects.
    setDeferredDraw(true);
}

NSNode::NodePhysical* ObjectParticleSystemTexture::makeParticleNode() {
    return new TextureParticle(varied(particleSize, particleSizeVar), texture);
}

unsigned ObjectParticleSystemTexture::particleTexture() {
    if (loadedFile != textureFile) {
        loadedFile = textureFile;
        unsigned* t = NSLoader::LoaderGLTexture::instance().get("particletextures/" + textureFile);
        texture = t ? *t : 0;
    }
    return texture;
}

void ObjectParticleSystemTexture::draw() {
    // The texture needs a GL context, which drawing always has.
    particleTexture();
    ObjectParticleSystem::draw();
    drawSprites();
}

// Each sprite looks as if it drew itself (its node's place and spin, turned
// to the eye, its colour and fading), but the GL state is set once for all
// of them and they go out as one batch of quads: per sprite, switching the
// state back and forth cost Mesa far more than the sprites themselves. The
// batch runs back to front, the order the scene's see-through pass keeps.
void ObjectParticleSystemTexture::drawSprites() {
    const std::vector<Particle*>& live = getParticles();
    if (live.empty())
        return;
    NSScene::Scene* scene = sceneOf(*this);
    const Vector3 eye = spriteEye(*this);
    struct Sprite {
        float distance;
        const Particle* particle;
    };
    std::vector<Sprite> sprites;
    sprites.reserve(live.size());
    for (const Particle* p : live) {
        if (!p->node || (scene && !scene->cullTest(p->node)))
            continue;
        sprites.push_back({length(eye - p->node->worldPosition()), p});
    }
    std::stable_sort(sprites.begin(), sprites.end(),
                     [](const Sprite& a, const Sprite& b) { return a.distance > b.distance; });

    // From this system's frame to that of the tree top, which holds the
    // particle nodes.
    glPushMatrix();
    glMultMatrixf((affineInverse(worldMatrix()) * treeTop(this)->localMatrix()).data());
    glPushAttrib(GL_TEXTURE_BIT | GL_ENABLE_BIT | GL_CURRENT_BIT);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, texture);
    applySpriteFilters(scene);
    glBegin(GL_QUADS);
    for (const Sprite& sprite : sprites) {
        const TextureParticle* node = of(sprite.particle->node);
        const Matrix4 place = node->localMatrix() * spriteTurn(eye, node->worldPosition());
        const Vector3& c = node->getColor();
        bool fading = false;
        glColor4f(c.x, c.y, c.z, particleAlpha(sprite.particle, fading));
        const float s = node->getSize() * 0.5f;
        const float corners[4][4] = {{0, 1, -s, -s}, {1, 1, s, -s}, {1, 0, s, s}, {0, 0, -s, s}};
        for (const auto& k : corners) {
            const Vector3 v = place.transformPoint(Vector3(k[2], k[3], 0.0f));
            glTexCoord2f(k[0], k[1]);
            glVertex3f(v.x, v.y, v.z);
        }
    }
    glEnd();
    glPopAttrib();
    glPopMatrix();
}

void ObjectParticleSystemTexture::appendObjectMenuEntries(std::vector<MenuEntry>& list, bool detailed) {
    using namespace NSMenu;
    if (detailed)
        list.emplace_back(this, "Texture File", TYPE_STRING, KIND_INPUT, Value::ofString(textureFile), true);
    list.emplace_back();
    if (detailed) {
        list.push_back(floatLine("Particle Size", KIND_SLIDER, particleSize, 0, 15));
        list.push_back(floatLine("Particle Size Var.", KIND_SLIDER, particleSizeVar, 0, 1));
    }
    list.emplace_back();
    ObjectParticleSystem::appendObjectMenuEntries(list, detailed);
}

bool ObjectParticleSystemTexture::setMenuValue(std::string label, Value value) {
    if (label == "Particle Size")
        particleSize = value.floatValue;
    else if (label == "Particle Size Var.")
        particleSizeVar = value.floatValue;
    else if (label == "Texture File")
        return true; // shown only
    else
        return ObjectParticleSystem::setMenuValue(label, value);
    return true;
}

Value ObjectParticleSystemTexture::getMenuValue(std::string label) {
    if (label == "Texture File")
        return Value::ofString(textureFile);
    if (label == "Particle Size")
        return Value::ofFloat(particleSize);
    if (label == "Particle Size Var.")
        return Value::ofFloat(particleSizeVar);
    return ObjectParticleSystem::getMenuValue(label);
}

int ObjectParticleSystemTexture::classId() const { return CLASS_PARTICLE_SYSTEM_TEXTURE; }

void ObjectParticleSystemTexture::serialize(NSSerialize::SerialStream& s) {
    ObjectParticleSystem::serialize(s);
    if (s.isReading())
        setDeferredDraw(true); // whatever the file says: the sprites need it
    if (!s.isCurrentVersion())
        return;
    s.transfer(textureFile);
    s.transfer(particleSize);
    s.transfer(particleSizeVar);
}

NSClone::Cloneable* ObjectParticleSystemTexture::clone() const { return cloneOf(*this); }

void ObjectParticleSystemTexture::copyFrom(const NSClone::Cloneable* source) {
    auto* o = dynamic_cast<const ObjectParticleSystemTexture*>(source);
    if (!o || o == this)
        return;
    ObjectParticleSystem::copyFrom(source);
    textureFile = o->textureFile;
    particleSize = o->particleSize;
    particleSizeVar = o->particleSizeVar;
}

// --- complex ---

ObjectParticleSystemComplex::ObjectParticleSystemComplex(bool full) : ObjectParticleSystem(full, false) {
    if (full)
        setDefaults();
}

void ObjectParticleSystemComplex::setDefaults() {
    ObjectParticleSystem::setDefaults();
    prototypeId = 0;
    particleId = 0;
    prototype = nullptr;
    setName("Particle Complex");
    setPicture("particlecomplex_pic.bmp");
}

void ObjectParticleSystemComplex::initEmitter() {
    ObjectParticleSystem::initEmitter();
    prototype = dynamic_cast<NSNode::NodeGraphic*>(treeTop(this)->findById(prototypeId));
    if (prototype == this)
        prototype = nullptr;
    if (prototype) {
        prototype->setVisible(false);
        prototype->unregisterForHits();
    }
}

NSNode::NodePhysical* ObjectParticleSystemComplex::makeParticleNode() {
    if (!prototype)
        return nullptr;
    auto* copy = dynamic_cast<NSNode::NodeGraphic*>(prototype->clone());
    if (copy) {
        copy->setVisible(true);
        copy->unregisterForHits();
    }
    return copy;
}

void ObjectParticleSystemComplex::appendObjectMenuEntries(std::vector<MenuEntry>& list, bool detailed) {
    using namespace NSMenu;
    if (detailed) {
        list.emplace_back(nullptr, "PARTICLE TYPE", TYPE_BOOL, KIND_HEADER, Value(), true);
        list.push_back(intLine("Particle ID", KIND_INPUT, particleId, 0, 99999));
        list.emplace_back(nullptr, "Set Particle", TYPE_BOOL, KIND_BUTTON, Value(), true);
        list.push_back(intLine("Current Particle", KIND_INPUT, prototypeId, 0, 99999, false));
        list.emplace_back(nullptr, "Select Particle", TYPE_BOOL, KIND_BUTTON, Value(), prototypeId != -1);
    }
    list.emplace_back();
    ObjectParticleSystem::appendObjectMenuEntries(list, detailed);
}

bool ObjectParticleSystemComplex::setMenuValue(std::string label, Value value) {
    if (label == "Particle ID") {
        particleId = value.intValue;
        return true;
    }
    if (label != "Set Particle" && label != "Select Particle")
        return ObjectParticleSystem::setMenuValue(label, value);
    NSScene::Scene* scene = sceneOf(*this);
    NSNode::NodeTransform* found =
        scene ? scene->findNode(particleId) : treeTop(this)->findById(particleId);
    if (label == "Set Particle") {
        if (dynamic_cast<NSNode::NodeGraphic*>(found)) {
            if (prototypeId == 0)
                menuLinesChanged();
            prototypeId = particleId;
        } else {
            if (prototypeId != 0)
                menuLinesChanged();
            prototypeId = 0;
        }
    } else if (found && scene) {
        scene->select(found);
    }
    return true;
}

Value ObjectParticleSystemComplex::getMenuValue(std::string label) {
    if (label == "Particle ID")
        return Value::ofInt(particleId);
    if (label == "Current Particle")
        return Value::ofInt(prototypeId);
    return ObjectParticleSystem::getMenuValue(label);
}

int ObjectParticleSystemComplex::classId() const { return CLASS_PARTICLE_SYSTEM_COMPLEX; }

void ObjectParticleSystemComplex::serialize(NSSerialize::SerialStream& s) {
    ObjectParticleSystem::serialize(s);
    if (!s.isCurrentVersion())
        return;
    s.transfer(prototypeId);
}

NSClone::Cloneable* ObjectParticleSystemComplex::clone() const { return cloneOf(*this); }

void ObjectParticleSystemComplex::copyFrom(const NSClone::Cloneable* source) {
    auto* o = dynamic_cast<const ObjectParticleSystemComplex*>(source);
    if (!o || o == this)
        return;
    ObjectParticleSystem::copyFrom(source);
    prototypeId = o->prototypeId;
    particleId = o->particleId;
}

} // namespace NSParticle
