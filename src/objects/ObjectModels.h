#pragma once
// The game objects that are a model and nothing more: the three balls, the
// three boards and the robot figure. Each fixes its name, model, picture,
// physical values, properties and body in setupObject, run by its full
// constructor; a non-full object waits for its record or copyFrom.
#include "objects/NodeGraphic.h"

namespace NSObjects {

// Bouncy, radius 11.5; falls, and rolls along on conveyor belts.
class ObjectBasketball : public NSNode::NodeGraphic {
public:
    explicit ObjectBasketball(bool full);
    virtual void setupObject();
    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;
};

// Heavy (mass 3.6) and dull (bounce 0.3).
class ObjectBowlingball : public NSNode::NodeGraphic {
public:
    explicit ObjectBowlingball(bool full);
    virtual void setupObject();
    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;
};

// Light (mass 0.06) and small (radius 3.3); the one ball the wind moves.
class ObjectTennisball : public NSNode::NodeGraphic {
public:
    explicit ObjectTennisball(bool full);
    virtual void setupObject();
    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;
};

// The small board: fixed, 30 x 3 x 30, its top face at the node's origin.
class ObjectBrett1 : public NSNode::NodeGraphic {
public:
    explicit ObjectBrett1(bool full);
    virtual void setupObject();
    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;
};

// The middle board: 20 x 3 x 90.
class ObjectBrett2 : public NSNode::NodeGraphic {
public:
    explicit ObjectBrett2(bool full);
    virtual void setupObject();
    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;
};

// The large board: 60 x 3 x 60.
class ObjectBrett3 : public NSNode::NodeGraphic {
public:
    explicit ObjectBrett3(bool full);
    virtual void setupObject();
    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;
};

// The robot figure: animated, and with a body without solids it touches nothing.
class ObjectJohnny5 : public NSNode::NodeGraphic {
public:
    explicit ObjectJohnny5(bool full);
    virtual void setupObject();
    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;
};

} // namespace NSObjects
