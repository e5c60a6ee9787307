#include "objects/ObjectModels.h"

#include "objects/ObjectSupport.h"
#include "persistence/ClassIds.h"
#include "physics/properties/PhysicsPropertyOfKind.h"
#include "resources/ModelObject.h"

using NSNode::BoundingVolume;
using NSNode::NodeGraphic;
using namespace NSPhysicsProperty;

namespace NSObjects {

QBN_REGISTER_CLASS(CLASS_OBJECT_BASKETBALL, ObjectBasketball)
QBN_REGISTER_CLASS(CLASS_OBJECT_BOWLINGBALL, ObjectBowlingball)
QBN_REGISTER_CLASS(CLASS_OBJECT_TENNISBALL, ObjectTennisball)
QBN_REGISTER_CLASS(CLASS_OBJECT_BRETT1, ObjectBrett1)
QBN_REGISTER_CLASS(CLASS_OBJECT_BRETT2, ObjectBrett2)
QBN_REGISTER_CLASS(CLASS_OBJECT_BRETT3, ObjectBrett3)
QBN_REGISTER_CLASS(CLASS_OBJECT_JOHNNY5, ObjectJohnny5)

// The parts every one of these classes shares: the full constructor runs the
// setup, a copy comes from the class itself, and copyFrom takes only a source
// of the same class.
#define QBN_MODEL_OBJECT_COMMON(NAME, ID)                                                                              \
    NAME::NAME(bool full) : NodeGraphic(full) {                                                                        \
        if (full)                                                                                                      \
            setupObject();                                                                                             \
    }                                                                                                                  \
    int NAME::classId() const { return ID; }                                                                           \
    NSClone::Cloneable* NAME::clone() const { return cloneOf(*this); }                                                 \
    void NAME::copyFrom(const NSClone::Cloneable* source) {                                                            \
        if (dynamic_cast<const NAME*>(source))                                                                         \
            NodeGraphic::copyFrom(source);                                                                             \
    }

QBN_MODEL_OBJECT_COMMON(ObjectBasketball, CLASS_OBJECT_BASKETBALL)
QBN_MODEL_OBJECT_COMMON(ObjectBowlingball, CLASS_OBJECT_BOWLINGBALL)
QBN_MODEL_OBJECT_COMMON(ObjectTennisball, CLASS_OBJECT_TENNISBALL)
QBN_MODEL_OBJECT_COMMON(ObjectBrett1, CLASS_OBJECT_BRETT1)
QBN_MODEL_OBJECT_COMMON(ObjectBrett2, CLASS_OBJECT_BRETT2)
QBN_MODEL_OBJECT_COMMON(ObjectBrett3, CLASS_OBJECT_BRETT3)
QBN_MODEL_OBJECT_COMMON(ObjectJohnny5, CLASS_OBJECT_JOHNNY5)

#undef QBN_MODEL_OBJECT_COMMON

namespace {

// A fixed board of the given extents whose top face is the node's origin.
void setupBoard(NodeGraphic& board, const char* name, const char* model, const char* picture, float sizeX,
                float sizeZ) {
    applyLook(board, name, model, picture);
    board.setEditScaling(false);
    board.setPhysical(false, false, 1.0f, 0.6f, 0.5f, false);
    board.setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(0.0f, -1.5f, 0.0f), Vector3(sizeX, 3.0f, sizeZ)));
    board.registerForHits();
    freezeModel(board);
}

} // namespace

void ObjectBasketball::setupObject() {
    applyLook(*this, "Basketball", "basketball.md2", "basketball_pic.bmp");
    setPhysical(true, true, 1.0f, 0.95f, 0.7f, false);
    addProperty(new PhysicsPropertyGravity(0.95f));
    addProperty(new PhysicsPropertyFriction(0.02f));
    addProperty(new PhysicsPropertyConstantMovement(1.0f));
    setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), 11.5f));
    registerForHits();
    freezeModel(*this);
}

void ObjectBowlingball::setupObject() {
    applyLook(*this, "Bowlingball", "bowlingball.md2", "bowlingball_pic.bmp");
    setEditScaling(false);
    setPhysical(true, true, 3.6f, 0.3f, 0.9f, false);
    addProperty(new PhysicsPropertyGravity(1.0f));
    addProperty(new PhysicsPropertyFriction(0.02f));
    addProperty(new PhysicsPropertyConstantMovement(1.0f));
    setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), 10.0f));
    registerForHits();
    freezeModel(*this);
}

void ObjectTennisball::setupObject() {
    applyLook(*this, "Tennisball", "tennisball.md2", "tennisball_pic.bmp");
    setPhysical(true, true, 0.06f, 0.9f, 0.3f, false);
    addProperty(new PhysicsPropertyGravity(0.8f));
    addProperty(new PhysicsPropertyFriction(0.02f));
    addProperty(new PhysicsPropertyWind(0.5f));
    addProperty(new PhysicsPropertyConstantMovement(1.0f));
    setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), 3.3f));
    registerForHits();
    freezeModel(*this);
}

void ObjectBrett1::setupObject() { setupBoard(*this, "Brett klein", "brett1.md2", "brett1_pic.bmp", 30.0f, 30.0f); }

void ObjectBrett2::setupObject() { setupBoard(*this, "Brett mittel", "brett2.md2", "brett2_pic.bmp", 20.0f, 90.0f); }

void ObjectBrett3::setupObject() {
    setupBoard(*this, "Brett gro\xDF", "brett3.md2", "brett3_pic.bmp", 60.0f, 60.0f);
}

void ObjectJohnny5::setupObject() {
    applyLook(*this, "Johnny", "Johnny5.md2", "johnny5_pic.bmp");
    setPhysical(true, true, 1.0f, 1.0f, 0.0f, false);
    // A volume without solids: nothing ever overlaps it.
    setBoundingVolume(new BoundingVolume(true));
    registerForHits();
    if (NSGraphic::ModelObject* model = getModel()) {
        model->setAnimationSpeed(0, 5.0f);
        model->setAnimationLoop(0, true);
    }
}

} // namespace NSObjects
