#include "objects/ObjectSprungbrett.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "objects/ObjectSupport.h"
#include "persistence/ClassIds.h"

using NSMenu::MenuEntry;
using NSMenu::Value;
using NSNode::BoundingVolume;
using NSNode::NodeGraphic;

namespace NSObjects {

QBN_REGISTER_CLASS(CLASS_OBJECT_SPRUNGBRETT, ObjectSprungbrett)

ObjectSprungbrett::ObjectSprungbrett(bool full) : NodeGraphic(full) {
    if (!full)
        return;
    jumpPower = 1.0f;
    editJumpPower = true;
    setupObject();
}

void ObjectSprungbrett::setupObject() {
    applyLook(*this, "Sprungbrett", "sprungbrett.md2", "sprungbrett_pic.bmp");
    setEditScaling(false);
    setJumpPower(jumpPower);

    // The board on top and the foot below it.
    auto* body = new BoundingVolume(true);
    body->setOuterSphere(Vector3(0.0f, -3.0f, 0.0f), 22.0f);
    const Vector3 board(0.0f, 1.0f, 0.0f);
    body->addVolume(new BoundingVolume::Box(board, board + Vector3(15.0f, 0.0f, 0.0f),
                                            board + Vector3(0.0f, 1.5f, 0.0f), board + Vector3(0.0f, 0.0f, 15.0f)));
    const Vector3 foot(0.0f, -4.3f, 0.0f);
    body->addVolume(new BoundingVolume::Box(foot, foot + Vector3(11.0f, 0.0f, 0.0f), foot + Vector3(0.0f, 4.0f, 0.0f),
                                            foot + Vector3(0.0f, 0.0f, 11.0f)));
    setBoundingVolume(body);
    registerForHits();
    freezeModel(*this);
}

namespace {

constexpr float kBoardTop = 2.5f;
constexpr float kRadToDeg = 57.29577951f;

struct Ball {
    float bounce = ObjectSprungbrett::kDefaultBallBounce;
    float friction = ObjectSprungbrett::kDefaultBallFriction;
    float mass = 0.0f;
    bool playerMoves = false;
    bool found = false;
};

// The throw's ball among the bodies under node (see throwVelocity).
void findBall(const NSNode::NodeTransform* node, Ball& best) {
    for (const NSNode::NodeTransform* child : node->getChildren()) {
        auto* body = dynamic_cast<const NSNode::NodePhysical*>(child);
        if (body && body->isMoveable()) {
            auto* graphic = dynamic_cast<const NodeGraphic*>(body);
            const bool playerMoves =
                graphic && (graphic->canEditPosition(0) || graphic->canEditPosition(1) || graphic->canEditPosition(2));
            if (!best.found || playerMoves > best.playerMoves ||
                (playerMoves == best.playerMoves && body->getMass() < best.mass))
                best = {body->getElasticBounce(), body->getBounceFriction(), body->getMass(), playerMoves, true};
        }
        findBall(child, best);
    }
}

// An arrow along d (in the current frame) of length l: a shaft and a head.
void drawArrow(const Vector3& d, float l) {
    GLUquadric* quadric = gluNewQuadric();
    if (!quadric)
        return;
    Vector3 u = d;
    u.normalize();
    const Vector3 axis = cross(Vector3(0.0f, 0.0f, 1.0f), u);
    const float sine = axis.length();
    if (sine > 1e-6f)
        glRotatef(std::atan2(sine, u.z) * kRadToDeg, axis.x, axis.y, axis.z);
    else if (u.z < 0.0f)
        glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    const float head = std::min(8.0f, 0.4f * l);
    gluCylinder(quadric, 1.2, 1.2, l - head, 12, 1);
    glTranslatef(0.0f, 0.0f, l - head);
    gluDisk(quadric, 0.0, 3.0, 12, 1);
    gluCylinder(quadric, 3.0, 0.0, head, 12, 1);
    gluDeleteQuadric(quadric);
}

} // namespace

Vector3 ObjectSprungbrett::throwVelocity() const {
    const NSNode::NodeTransform* top = this;
    while (top->getParent())
        top = top->getParent();
    Ball ball;
    findBall(top, ball);
    // As a contact combines them: the bounces multiplied, the frictions averaged.
    const float e = std::max(0.0f, std::min(1.0f, ball.bounce * getElasticBounce()));
    const float f = std::max(-1.0f, std::min(1.0f, 0.5f * (ball.friction + getBounceFriction())));
    Vector3 n = worldRotation().transformPoint(Vector3(0.0f, 1.0f, 0.0f));
    n.normalize();
    const Vector3 in(0.0f, -1.0f, 0.0f);
    const float along = dot(in, n);
    return (in - n * along - n * (e * along)) * (1.0f - f);
}

void ObjectSprungbrett::draw() {
    NodeGraphic::draw();
    GLint mode = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    if (!isSelected() || !isVisible() || mode != GL_RENDER)
        return;
    // Into the board's own frame: the rotation's transpose undoes it.
    const Vector3 w = throwVelocity();
    const Matrix4 r = worldRotation();
    const Vector3 local(r.at(0, 0) * w.x + r.at(1, 0) * w.y + r.at(2, 0) * w.z,
                        r.at(0, 1) * w.x + r.at(1, 1) * w.y + r.at(2, 1) * w.z,
                        r.at(0, 2) * w.x + r.at(1, 2) * w.y + r.at(2, 2) * w.z);
    const float l = kArrowPerSpeed * w.length() / std::max(getScaleFactor(), 1e-3f);
    if (!(l > 0.0f))
        return;
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glColor3f(1.0f, 0.55f, 0.1f);
    glPushMatrix();
    glTranslatef(0.0f, kBoardTop, 0.0f);
    drawArrow(local, l);
    glPopMatrix();
    glPopAttrib();
}

void ObjectSprungbrett::setJumpPower(float v) {
    jumpPower = v;
    setPhysical(false, false, getMass(), v, -v, true);
}

int ObjectSprungbrett::classId() const { return CLASS_OBJECT_SPRUNGBRETT; }

void ObjectSprungbrett::serialize(NSSerialize::SerialStream& stream) {
    NodeGraphic::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(jumpPower);
    stream.transfer(editJumpPower);
}

NSClone::Cloneable* ObjectSprungbrett::clone() const { return cloneOf(*this); }

void ObjectSprungbrett::copyFrom(const NSClone::Cloneable* source) {
    auto* other = dynamic_cast<const ObjectSprungbrett*>(source);
    if (!other || other == this)
        return;
    NodeGraphic::copyFrom(source);
    jumpPower = other->jumpPower;
    editJumpPower = other->editJumpPower;
}

void ObjectSprungbrett::appendObjectMenuEntries(std::vector<MenuEntry>& list, bool detailed) {
    appendIfEditable(list, detailed, editJumpPower,
                     floatEntry(this, "Jump Power", NSMenu::KIND_SLIDER, jumpPower, 0.5f, 2.0f));
    if (detailed)
        list.push_back(boolEntry(this, "Edit Jump Power", editJumpPower));
}

bool ObjectSprungbrett::setMenuValue(std::string label, Value value) {
    if (label == "Jump Power") {
        setJumpPower(value.floatValue);
        return true;
    }
    if (label == "Edit Jump Power") {
        editJumpPower = value.boolValue;
        return true;
    }
    return NodeGraphic::setMenuValue(label, value);
}

Value ObjectSprungbrett::getMenuValue(std::string label) {
    if (label == "Jump Power")
        return Value::ofFloat(jumpPower);
    if (label == "Edit Jump Power")
        return Value::ofBool(editJumpPower);
    return NodeGraphic::getMenuValue(label);
}

} // namespace NSObjects
