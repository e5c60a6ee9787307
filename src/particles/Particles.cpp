#include "particles/Particles.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>

#include "scene/Scene.h"
#include "scenegraph/BoundingVolume.h"

namespace NSParticle {

NSScene::Scene* sceneOf(const NSNode::NodeTransform& node) { return NSScene::Scene::of(node.world()); }

int emitterExtentCount(const Vector3& half) {
    return (half.x != 0.0f ? 1 : 0) + (half.y != 0.0f ? 1 : 0) + (half.z != 0.0f ? 1 : 0);
}

Vector3 spriteEye(const NSNode::NodeTransform& node) {
    NSScene::Scene* scene = sceneOf(node);
    return scene ? scene->view().getEye() : Vector3(0.0f, 0.0f, 100.0f);
}

Matrix4 spriteTurn(const Vector3& eye, const Vector3& at) {
    Matrix4 turn;
    Vector3 d = eye - at;
    const Vector3 dh = normalised(Vector3(d.x, 0.0f, d.z));
    turn.rotate(kPi, Vector3(0.0f, 1.0f, 0.0f));
    const Vector3 front(0.0f, 0.0f, 1.0f);
    const float a = dot(front, dh);
    if (a > -0.9999f && a < 0.9999f)
        turn.rotate(std::acos(a), cross(front, dh));
    // Tilt towards the eye. After the half turn the sprite's x axis points
    // the other way, so an eye above the sprite (d.y > 0) turns it about +x;
    // the other sign would tilt it away, twice as far from facing the eye
    // as before.
    d = normalised(d);
    const float b = dot(dh, d);
    if (b > -0.9999f && b < 0.9999f)
        turn.rotate(std::acos(b), Vector3(d.y > 0.0f ? 1.0f : -1.0f, 0.0f, 0.0f));
    return turn;
}

void applySpriteFilters(NSScene::Scene* scene) {
    if (!scene)
        return;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, scene->getMinFilter());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, scene->getMagFilter());
}

Matrix4 affineInverse(const Matrix4& m) {
    // The 3 x 3 part by its adjugate, then the translation.
    const float a = m.at(0, 0), b = m.at(0, 1), c = m.at(0, 2);
    const float d = m.at(1, 0), e = m.at(1, 1), f = m.at(1, 2);
    const float g = m.at(2, 0), h = m.at(2, 1), i = m.at(2, 2);
    const float det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    Matrix4 r;
    if (det == 0.0f || !std::isfinite(det))
        return r;
    const float k = 1.0f / det;
    const float inv[3][3] = {{(e * i - f * h) * k, (c * h - b * i) * k, (b * f - c * e) * k},
                             {(f * g - d * i) * k, (a * i - c * g) * k, (c * d - a * f) * k},
                             {(d * h - e * g) * k, (b * g - a * h) * k, (a * e - b * d) * k}};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col)
            r.m[4 * col + row] = inv[row][col];
        r.m[12 + row] = -(inv[row][0] * m.m[12] + inv[row][1] * m.m[13] + inv[row][2] * m.m[14]);
    }
    return r;
}

// The sphere's menu range; a file may hold anything, and a huge detail
// would stall every frame.
constexpr int kMinSphereDetail = 3;
constexpr int kMaxSphereDetail = 30;

SimpleParticle::SimpleParticle(float s) : NodePhysical(true), size(s) {
    setBoundingVolume(NSNode::BoundingVolume::makeSphereVolume(Vector3(), volumeRadius(s)));
}

void SimpleParticle::setSize(float s) {
    size = s;
    setBoundingVolume(NSNode::BoundingVolume::makeSphereVolume(Vector3(), volumeRadius(s)));
}

SimpleParticleSphere::SimpleParticleSphere(float s, int d)
    : SimpleParticle(s), detail(std::min(std::max(d, kMinSphereDetail), kMaxSphereDetail)) {
    // The base could not ask this class for the radius yet.
    setSize(s);
}

void SimpleParticle::draw() {
    NodePhysical::draw();
    glPushAttrib(GL_CURRENT_BIT | GL_LIGHTING_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glColor3f(color.x, color.y, color.z);
    applyAppearance();
    drawShape();
    glPopAttrib();
    NSNode::syncColourMaterial();
}

void SimpleParticleCube::drawShape() { glutSolidCube(size); }

void SimpleParticleSphere::drawShape() { glutSolidSphere(size, detail, detail / 2 + 1); }

void SimpleParticleTetraeder::drawShape() {
    const float h = std::sqrt(2.0f / 3.0f) * size * 0.5f;
    glTranslatef(0.0f, 0.0f, -2.0f / 3.0f * h);
    GLUquadric* q = gluNewQuadric();
    gluCylinder(q, h * 1.414213562, 0.0, 2.0 * h, 3, 1);
    gluPartialDisk(q, 0.0, h * 1.414213562, 3, 1, 0.0, 360.0);
    gluDeleteQuadric(q);
}

TextureParticle::TextureParticle(float s, unsigned tex) : NodePhysical(true), size(s), texture(tex) { setSize(s); }

void TextureParticle::setSize(float s) {
    size = s;
    setBoundingVolume(NSNode::BoundingVolume::makeSphereVolume(Vector3(), s * 0.5f));
}

void TextureParticle::draw() {
    ParticleOwner* system = linkedOwner();
    if (system && system->drawsParticles())
        return;
    NodePhysical::draw();
    NSScene::Scene* scene = sceneOf(*this);
    if (scene && !scene->cullTest(this))
        return;
    glPushAttrib(GL_TEXTURE_BIT | GL_ENABLE_BIT | GL_CURRENT_BIT);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (system)
        texture = system->particleTexture();
    glBindTexture(GL_TEXTURE_2D, texture);
    applySpriteFilters(scene);
    glColor3f(color.x, color.y, color.z);
    applyAppearance();
    glMultMatrixf(spriteTurn(spriteEye(*this), worldPosition()).data());
    const float s = size * 0.5f;
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-s, -s);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(s, -s);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(s, s);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-s, s);
    glEnd();
    glPopAttrib();
}

} // namespace NSParticle
