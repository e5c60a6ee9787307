#include "scene/Camera.h"

#include <GL/glu.h>

#include "persistence/RecordIO.h"
#include "scenegraph/Matrix4.h"

namespace NSScene {

namespace {

Vector3 unit(Vector3 v) { return v.normalize(); }

} // namespace

Camera::Camera() {
    setPosition(Vector3(0.0f, 0.0f, 1.0f));
    storeDefault();
}

void Camera::setPosition(const Vector3& p) {
    eye = p;
    upPoint = p + Vector3(0.0f, 1.0f, 0.0f);
    target = p + Vector3(0.0f, 0.0f, -1.0f);
}

void Camera::setTarget(const Vector3& t) { target = t; }

void Camera::rotate(float angle, const Vector3& axis) {
    if (angle == 0.0f || axis.length() == 0.0f)
        return;
    Matrix4 m;
    m.translate(target);
    m.rotate(angle, axis);
    m.translate(-target);
    eye = m.transformPoint(eye);
    upPoint = m.transformPoint(upPoint);
}

void Camera::zoom(float a) {
    const Vector3 d = target - eye;
    // Reaching the target would leave no direction to look in.
    if (a > 0.0f && a >= d.length())
        return;
    const Vector3 step = unit(d) * a;
    eye += step;
    upPoint += step;
}

void Camera::slide(const Vector3& v) {
    eye += v;
    target += v;
    upPoint += v;
}

void Camera::update(float dt) {
    rotate(dt * rotationSpeed, rotationAxis);
    slide(slideVelocity * dt);
    zoom(dt * zoomSpeed);
    keepUpright();
}

// First makes the up direction perpendicular to the view; then removes the
// share of it that tilts sideways, weighted by how level the view is: a
// horizontal view loses its roll at once, a steep one a little every frame,
// and a view straight up or down keeps whatever it has.
void Camera::keepUpright() {
    Vector3 f = unit(target - eye);
    Vector3 u = upPoint - eye;
    u = unit(u - f * dot(f, u));
    upPoint = eye + u;

    f = unit(target - eye);
    const Vector3 h = cross(f, Vector3(0.0f, 1.0f, 0.0f));
    const Vector3 w = upPoint - eye;
    u = unit(w - h * dot(h, w));
    upPoint = eye + u;
}

void Camera::apply() const {
    const Vector3 up = upPoint - eye;
    gluLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, up.x, up.y, up.z);
}

void Camera::storeDefault() {
    savedEye = eye;
    savedTarget = target;
    savedUpPoint = upPoint;
}

void Camera::reset() {
    eye = savedEye;
    target = savedTarget;
    upPoint = savedUpPoint;
}

void Camera::copyPose(const Camera& other) {
    eye = other.eye;
    target = other.target;
    upPoint = other.upPoint;
    savedEye = other.savedEye;
    savedTarget = other.savedTarget;
    savedUpPoint = other.savedUpPoint;
}

void Camera::setRotation(float speed, const Vector3& axis) {
    rotationSpeed = speed;
    rotationAxis = axis;
}

bool Camera::serialize(NSSerialize::SerialStream& stream) {
    if (stream.isWriting()) {
        NSSerialize::writeBlock(stream, "[camO]", [this](NSSerialize::SerialStream& s) {
            for (const Vector3* point : {&eye, &target, &upPoint, &savedEye, &savedTarget, &savedUpPoint})
                s.writeVector3(*point, "camera point", NSSerialize::Limits::kPosition);
        });
        return !stream.failed();
    }
    Vector3 v[6];
    bool ok = NSSerialize::readBlock(stream, [&v](NSSerialize::SerialStream& s) {
        for (Vector3& value : v)
            value = s.readVector3("camera point", NSSerialize::Limits::kPosition);
    });
    if (!ok || stream.ended())
        return false;
    setPosition(v[0]);
    target = v[1];
    upPoint = v[2];
    savedEye = v[3];
    savedTarget = v[4];
    savedUpPoint = v[5];
    return true;
}

} // namespace NSScene
