#include "scene/Camera.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "persistence/RecordIO.h"
#include "math/Matrix4.h"

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
    const Vector3 oldEye = eye;
    const Vector3 oldUp = upPoint;
    const float oldPitch = std::fabs(pitch());
    auto turn = [&](float a) {
        Matrix4 m;
        m.translate(target);
        m.rotate(a, axis);
        m.translate(-target);
        eye = m.transformPoint(oldEye);
        upPoint = m.transformPoint(oldUp);
    };
    const float allowed = std::max(kMaxPitch, oldPitch);
    const bool upright = (oldUp - oldEye).y > 0.0f;
    // Beyond the limit, or over the top (the view then turns upside down).
    auto tooSteep = [&]() { return std::fabs(pitch()) > allowed || (upright && (upPoint - eye).y <= 0.0f); };
    turn(angle);
    if (!tooSteep())
        return;
    // The largest share of the turn that stays within the limit (a view
    // already at the limit stays there).
    float low = 0.0f;
    float high = 1.0f;
    for (int i = 0; i < 24; ++i) {
        const float mid = 0.5f * (low + high);
        turn(angle * mid);
        if (tooSteep())
            high = mid;
        else
            low = mid;
    }
    turn(angle * low);
}

float Camera::pitch() const {
    const Vector3 d = target - eye;
    const float l = d.length();
    return l > 0.0f ? std::asin(std::max(-1.0f, std::min(1.0f, d.y / l))) : 0.0f;
}

void Camera::confine(const Vector3& low, const Vector3& high) {
    auto clamp = [&](const Vector3& p) {
        return Vector3(std::max(low.x, std::min(high.x, p.x)), std::max(low.y, std::min(high.y, p.y)),
                       std::max(low.z, std::min(high.z, p.z)));
    };
    const Vector3 shift = clamp(eye) - eye;
    eye += shift;
    upPoint += shift;
    target = clamp(target);
    // The eye never sits on its target.
    if ((target - eye).length() < 1.0f)
        target = eye + unit(target - eye + Vector3(0.0f, 0.0f, -1.0f));
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
