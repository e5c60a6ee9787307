#include "objects/ObjectSprungbrett.h"

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
