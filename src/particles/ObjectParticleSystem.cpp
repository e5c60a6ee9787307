// The emitter's life: its defaults, the emission and ageing of particles,
// their look, and the emitter's own drawing.
#include "particles/ObjectParticleSystem.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <ctime>

#include "editable/EditorMode.h"
#include "scene/Scene.h"

namespace NSParticle {

using Particle = ObjectParticleSystem::Particle;

ObjectParticleSystem::ObjectParticleSystem(bool full, bool linkedNodes) : NodeGraphic(full), linkedNodes(linkedNodes) {
    if (full)
        setDefaults();
}

ObjectParticleSystem::~ObjectParticleSystem() {
    // Plain nodes cannot tell when they are gone, so they are left alone;
    // linked ones forget this system.
    if (linkedNodes)
        dropRecords(false);
    else
        for (Particle* p : particles)
            delete p;
}

void ObjectParticleSystem::setDefaults() {
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

void ObjectParticleSystem::initEmitter() {
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

void ObjectParticleSystem::start() {
    running = true;
    clock = 0.0f;
    generatedCount = 0;
    dropRecords(true);
}

void ObjectParticleSystem::applyParticleAppearance(Particle* p) {
    const Vector3 c = nodeColor(p->node);
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

float ObjectParticleSystem::particleAlpha(const Particle* p, bool& fading) const {
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

void ObjectParticleSystem::drawEmitter() {
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

void ObjectParticleSystem::draw() {
    NodeGraphic::draw();
    if (!isVisible())
        return;
    const bool named = isSelectable() || NSMenu::isDesignerEditing();
    if (named)
        glPushName(static_cast<GLuint>(getId()));
    applyMaterial(false, 0.0f, 0.0f, 0.0f);
    NSScene::Scene* scene = sceneOf(*this);
    const bool stopped = !scene || !scene->isRunning();
    if ((stopped && emitterVisibility == 2) || (NSMenu::isDesignerEditing() && emitterVisibility == 1))
        drawEmitter();
    if (named)
        glPopName();
}

void ObjectParticleSystem::simulate(float dt) {
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
                setNodeColor(p->node, getColor() + (fadeColor - getColor()) * t);
            } else if (colorMode == 2 && iterateColors.size() > 1) {
                const int n = static_cast<int>(iterateColors.size());
                const float f = static_cast<float>(n - 1) * t;
                int k = std::max(0, std::min(n - 2, static_cast<int>(std::floor(f))));
                setNodeColor(p->node, iterateColors[k] + (iterateColors[k + 1] - iterateColors[k]) * (f - k));
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

bool ObjectParticleSystem::canEmit(size_t pendingBirths) {
    if (emitDurationEnabled && clock >= emitDuration)
        return false;
    if (partsMaxEnabled && generatedCount >= partsMax)
        return false;
    if (maxVisibleEnabled && static_cast<int>(particles.size() + pendingBirths) >= maxVisible)
        return false;
    ++generatedCount;
    return true;
}

Particle* ObjectParticleSystem::createParticle(const Vector3& position, const Vector3& direction,
                                               bool fromEmitter) {
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
        setNodeColor(p->node, Vector3(uniformSigned(), uniformSigned(), uniformSigned()));
    else
        setNodeColor(p->node, getColor());
    onParticleCreated(p);
    return p;
}

float ObjectParticleSystem::emitInterval() {
    if (!(partsPerSec > 0.0f) || !std::isfinite(partsPerSec))
        return HUGE_VALF;
    const float variation = std::min(std::max(partsPerSecVar, 0.0f), 1.0f);
    return (1.0f / partsPerSec) * (1.0f + uniformSigned() * variation);
}

void ObjectParticleSystem::particleNodeGone(void* record) {
    for (Particle* p : particles)
        if (p == record)
            p->node = nullptr;
}

void ObjectParticleSystem::unlinkNode(Particle* p) {
    if (auto* link = dynamic_cast<ParticleLink*>(p->node))
        link->unlink();
}

void ObjectParticleSystem::dropRecords(bool destroyNodes) {
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

} // namespace NSParticle
