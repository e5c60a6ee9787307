#pragma once
// The scene's viewpoint: an eye looking at a target, with the up direction
// given by a point one unit above the eye. Every turn pivots about the
// target. Besides single steps (rotate, slide, zoom) the camera carries three
// continuous motions that the scene buttons switch on and off and that
// update() applies with the frame's time.

#include "math/Vector3.h"

namespace NSSerialize {
class SerialStream;
}

namespace NSScene {

class Camera {
public:
    // Placed at (0, 0, 1) looking down -z; that pose is also the saved one.
    Camera();

    // Eye at p, looking down -z with y up.
    void setPosition(const Vector3& p);
    void setTarget(const Vector3& t);
    const Vector3& getEye() const { return eye; }
    const Vector3& getTarget() const { return target; }
    const Vector3& getUpPoint() const { return upPoint; }
    // The eye of the pose reset() returns to.
    const Vector3& getSavedEye() const { return savedEye; }

    // Turns eye and up point by angle (radians) about axis through the
    // target. A zero angle or a zero axis does nothing. A turn that would
    // tilt the view beyond kMaxPitch from the horizontal stops there.
    static constexpr float kMaxPitch = 1.48f; // about 85 degrees
    void rotate(float angle, const Vector3& axis);
    // Moves eye and up point by a towards the target (away for a < 0). A
    // step that would reach or pass the target is refused.
    void zoom(float a);
    // Moves the whole camera by v.
    void slide(const Vector3& v);
    // Applies the continuous motions for dt seconds and takes out the roll.
    void update(float dt);
    // The angle of the view above (positive) or below the horizontal.
    float pitch() const;
    // Keeps eye and target inside the box from low to high: a point outside
    // moves to the nearest place inside, the up point with the eye.
    void confine(const Vector3& low, const Vector3& high);
    // Multiplies the viewing transform onto the current GL matrix.
    void apply() const;

    // The pose reset() returns to.
    void storeDefault();
    void reset();
    // Takes over the current and the saved pose of other, not its motions.
    void copyPose(const Camera& other);

    // Continuous motions: radians per second about axis (through the
    // target), units per second, and units per second towards the target.
    void setRotation(float speed, const Vector3& axis);
    void setSlideVelocity(const Vector3& v) { slideVelocity = v; }
    void setZoomSpeed(float s) { zoomSpeed = s; }
    float getRotationSpeed() const { return rotationSpeed; }
    const Vector3& getSlideVelocity() const { return slideVelocity; }
    float getZoomSpeed() const { return zoomSpeed; }

    // The "[camO]" block: eye, target, up point and the saved three. Reading
    // returns false (and leaves the camera alone) when the block is damaged.
    bool serialize(NSSerialize::SerialStream& stream);

private:
    void keepUpright();

    Vector3 eye;
    Vector3 target;
    Vector3 upPoint;
    Vector3 savedEye;
    Vector3 savedTarget;
    Vector3 savedUpPoint;
    float rotationSpeed = 0.0f;
    Vector3 rotationAxis{1.0f, 0.0f, 0.0f};
    Vector3 slideVelocity;
    float zoomSpeed = 0.0f;
};

} // namespace NSScene
