#include "particles/Particles.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/freeglut.h>

#include <cmath>

#include "scene/Scene.h"
#include "scenegraph/BoundingVolume.h"
#include "shell/Window.h"

namespace NSParticle {

NSScene::Scene* currentScene() { return dynamic_cast<NSScene::Scene*>(NSNode::NodeGraphic::modelDrawer()); }

int emitterExtentCount(const Vector3& half) {
    return (half.x != 0.0f ? 1 : 0) + (half.y != 0.0f ? 1 : 0) + (half.z != 0.0f ? 1 : 0);
}

SimpleParticle::SimpleParticle(float s) : NodePhysical(true), size(s) { setSize(s); }

void SimpleParticle::setSize(float s) {
    size = s;
    setBoundingVolume(NSNode::BoundingVolume::makeSphereVolume(Vector3(), s * 0.5f));
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
    NodePhysical::draw();
    NSScene::Scene* scene = currentScene();
    if (scene && !scene->cullTest(this))
        return;
    glPushAttrib(GL_TEXTURE_BIT | GL_ENABLE_BIT | GL_CURRENT_BIT);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor3f(color.x, color.y, color.z);
    applyAppearance();

    // Turn the sprite towards the eye: first about the vertical, then tilt.
    const Vector3 eye = scene ? scene->getCamera().getEye() : Vector3(0.0f, 0.0f, 100.0f);
    Vector3 d = eye - worldPosition();
    Vector3 dh = normalised(Vector3(d.x, 0.0f, d.z));
    glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
    const Vector3 front(0.0f, 0.0f, 1.0f);
    const float a = dot(front, dh);
    if (a > -0.9999f && a < 0.9999f) {
        const Vector3 axis = cross(front, dh);
        glRotatef(std::acos(a) * 57.2958f, axis.x, axis.y, axis.z);
    }
    d = normalised(d);
    const float b = dot(dh, d);
    if (b > -0.9999f && b < 0.9999f)
        glRotatef(std::acos(b) * 57.2958f, d.y < 0.0f ? 1.0f : -1.0f, 0.0f, 0.0f);
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
