#pragma once
// Where a scene node is solid (or, for a physics effect, where it acts): a
// list of simple solids plus an outer sphere for a quick rejection.
//
// Two bounding volumes hit when any solid of one overlaps any solid of the
// other. Each pair of kinds has its own rule, found by double dispatch: a
// solid's hitTest(other) calls the method of other that names its own kind
// (a Box calls other.hitBox(*this), and so on). Touching is never a hit.
//
// Solids keep their data twice: in the node's local frame (what is saved and
// drawn) and in the world, as last set by setTransform. Hit tests and contact
// directions use the world data.
//
// Hit tests run for every pair of bodies in every simulation step; nothing
// on that path allocates.

#include <vector>

#include "persistence/Cloneable.h"
#include "persistence/Serializeable.h"
#include "scenegraph/HitResult.h"
#include "math/Matrix4.h"
#include "math/Vector3.h"

namespace NSNode {

// The corner of the box centre +- e[0] +- e[1] +- e[2] whose signs are the
// bits of i (bit set: plus).
inline Vector3 boxCorner(const Vector3& c, const Vector3 e[3], int i) {
    return c + ((i & 1) ? e[0] : -e[0]) + ((i & 2) ? e[1] : -e[1]) + ((i & 4) ? e[2] : -e[2]);
}

class BoundingVolume : public NSSerialize::Serializeable, public NSClone::Cloneable {
public:
    class Box;
    class Sphere;
    class Room;
    class Plane;

    // One solid. Abstract: the kinds below are what a volume is made of.
    class Volume : public NSSerialize::Serializeable, public NSClone::Cloneable {
    public:
        Volume() = default;
        explicit Volume(const Vector3& center) : center(center), worldCenter(center) {}

        // Recomputes the world data from the local data and m.
        virtual void setTransform(const Matrix4& m);
        // The dispatch entry. Kinds that bring no rule of their own end up
        // here: logged, and no hit.
        virtual bool hitTest(const Volume& other) const;
        virtual bool hitBox(const Box& box) const = 0;
        virtual bool hitSphere(const Sphere& sphere) const = 0;
        virtual bool hitRoom(const Room& room) const = 0;
        virtual bool hitPlane(const Plane& plane) const = 0;
        // The unit contact direction of this solid towards p.
        virtual Vector3 normalAt(const Vector3& p) const = 0;
        // When a pair hits, the directions are ordered so that the face
        // direction of the solid with the higher priority comes last.
        virtual int priority() const = 0;
        // Both draw in the node's local frame from the local data.
        virtual void drawWireframe() const = 0;
        virtual void drawBrackets() const = 0;
        // How far the solid reaches below its world centre (a value <= 0).
        virtual float downExtent() const = 0;

        int classId() const override;
        void serialize(NSSerialize::SerialStream& stream) override;
        void copyFrom(const NSClone::Cloneable* source) override;

        const Vector3& getCenter() const { return center; }
        const Vector3& getWorldCenter() const { return worldCenter; }

    protected:
        Vector3 center;
        Vector3 worldCenter;
    };

    // An oriented box: a centre and three axis points; the half-axes are
    // axis point - centre, so rotation, scale and shear all carry over.
    class Box : public Volume {
    public:
        explicit Box(bool full);
        Box(const Vector3& center, const Vector3& axisPointX, const Vector3& axisPointY, const Vector3& axisPointZ);

        void setTransform(const Matrix4& m) override;
        bool hitTest(const Volume& other) const override { return other.hitBox(*this); }
        bool hitBox(const Box& box) const override;
        bool hitSphere(const Sphere& sphere) const override;
        bool hitRoom(const Room& room) const override;
        bool hitPlane(const Plane&) const override { return false; }
        Vector3 normalAt(const Vector3& p) const override;
        int priority() const override { return 2; }
        void drawWireframe() const override;
        void drawBrackets() const override;
        float downExtent() const override;

        int classId() const override;
        void serialize(NSSerialize::SerialStream& stream) override;
        NSClone::Cloneable* clone() const override;
        void copyFrom(const NSClone::Cloneable* source) override;

        const Vector3& getAxisPointX() const { return axisPointX; }
        const Vector3& getAxisPointY() const { return axisPointY; }
        const Vector3& getAxisPointZ() const { return axisPointZ; }
        const Vector3& getWorldAxisX() const { return worldAxisX; }
        const Vector3& getWorldAxisY() const { return worldAxisY; }
        const Vector3& getWorldAxisZ() const { return worldAxisZ; }
        // The world half-axis vectors X, Y, Z.
        void worldHalfAxes(Vector3 e[3]) const;

    private:
        Vector3 worldAxisX, worldAxisY, worldAxisZ;
        Vector3 axisPointX, axisPointY, axisPointZ;
    };

    class Sphere : public Volume {
    public:
        explicit Sphere(bool full);
        Sphere(const Vector3& center, float radius);

        void setTransform(const Matrix4& m) override;
        bool hitTest(const Volume& other) const override { return other.hitSphere(*this); }
        bool hitBox(const Box& box) const override;
        bool hitSphere(const Sphere& sphere) const override;
        bool hitRoom(const Room& room) const override;
        bool hitPlane(const Plane& plane) const override;
        Vector3 normalAt(const Vector3& p) const override;
        int priority() const override { return 1; }
        void drawWireframe() const override;
        void drawBrackets() const override;
        float downExtent() const override { return -worldRadius; }

        int classId() const override;
        void serialize(NSSerialize::SerialStream& stream) override;
        NSClone::Cloneable* clone() const override;
        void copyFrom(const NSClone::Cloneable* source) override;

        float getRadius() const { return radius; }
        float getWorldRadius() const { return worldRadius; }

    private:
        float radius = 1.0f;
        float worldRadius = 1.0f;
    };

    // An axis-aligned box seen from the inside: whatever touches its walls or
    // leaves it hits it.
    class Room : public Volume {
    public:
        explicit Room(bool full);
        Room(const Vector3& center, const Vector3& halfSize);

        void setTransform(const Matrix4& m) override;
        bool hitTest(const Volume& other) const override { return other.hitRoom(*this); }
        bool hitBox(const Box& box) const override;
        bool hitSphere(const Sphere& sphere) const override;
        bool hitRoom(const Room&) const override { return false; }
        bool hitPlane(const Plane&) const override { return false; }
        Vector3 normalAt(const Vector3& p) const override;
        int priority() const override { return 1; }
        void drawWireframe() const override;
        void drawBrackets() const override;
        float downExtent() const override;

        int classId() const override;
        void serialize(NSSerialize::SerialStream& stream) override;
        NSClone::Cloneable* clone() const override;
        void copyFrom(const NSClone::Cloneable* source) override;

        const Vector3& getHalfSize() const { return halfSize; }
        const Vector3& getWorldHalfSize() const { return worldHalfSize; }

    private:
        Vector3 worldHalfSize{100.0f, 100.0f, 100.0f};
        Vector3 halfSize{100.0f, 100.0f, 100.0f};
    };

    // The points x with normal . x + distance = 0, in world coordinates (a
    // transform leaves it alone). Meets only spheres: with mode set, a
    // sphere hits when it lies wholly behind the plane; without, as soon as
    // any part of it is behind. The view frustum is made of these.
    class Plane : public Volume {
    public:
        explicit Plane(bool full);
        // Normalises the normal and divides distance by its length.
        Plane(float nx, float ny, float nz, float distance, bool mode);

        void setTransform(const Matrix4&) override {}
        bool hitTest(const Volume& other) const override { return other.hitPlane(*this); }
        bool hitBox(const Box&) const override { return false; }
        bool hitSphere(const Sphere& sphere) const override;
        bool hitRoom(const Room&) const override { return false; }
        bool hitPlane(const Plane&) const override { return false; }
        Vector3 normalAt(const Vector3&) const override { return normal; }
        int priority() const override { return 1; }
        void drawWireframe() const override {}
        void drawBrackets() const override {}
        float downExtent() const override;

        int classId() const override;
        void serialize(NSSerialize::SerialStream& stream) override;
        NSClone::Cloneable* clone() const override;
        void copyFrom(const NSClone::Cloneable* source) override;

        const Vector3& getNormal() const { return normal; }
        float getDistance() const { return distance; }
        bool getMode() const { return mode; }

    private:
        Vector3 normal{0.0f, 1.0f, 0.0f};
        float distance = 0.0f;
        bool mode = false;
    };

    explicit BoundingVolume(bool full);
    ~BoundingVolume() override;
    BoundingVolume(const BoundingVolume&) = delete;
    BoundingVolume& operator=(const BoundingVolume&) = delete;

    // Ready-made volumes; the caller owns the result. Sizes are full extents.
    static BoundingVolume* makeBoxVolume(const Vector3& center, const Vector3& size);
    static BoundingVolume* makeSphereVolume(const Vector3& center, float radius);
    static BoundingVolume* makeRoomVolume(const Vector3& center, const Vector3& size);
    // Hits everything, without any solid.
    static BoundingVolume* makeUnboundedVolume();

    // Hands m to every solid and to the outer sphere.
    void setTransform(const Matrix4& m);
    // The first pair of solids that overlaps decides; see the .cpp for the
    // directions.
    HitResult hitTest(const BoundingVolume& other) const;
    void drawWireframe() const;
    void drawBrackets() const;

    // Takes ownership of volume.
    void addVolume(Volume* volume);
    void clearVolumes();
    const std::vector<Volume*>& getVolumes() const { return volumes; }

    const Sphere& getOuterSphere() const { return outerSphere; }
    void setOuterSphere(const Vector3& center, float radius) { outerSphere = Sphere(center, radius); }
    // Unbounded volumes skip the outer-sphere rejection (rooms, and volumes
    // that cover everything).
    bool isUnbounded() const { return unbounded; }
    void setUnbounded(bool value) { unbounded = value; }
    // An everywhere volume hits everything without testing solids.
    bool isEverywhere() const { return everywhere; }
    void setEverywhere(bool value) { everywhere = value; }

    int classId() const override;
    void serialize(NSSerialize::SerialStream& stream) override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

private:
    Sphere outerSphere{Vector3(), 0.0f};
    bool unbounded = false;
    std::vector<Volume*> volumes;
    bool everywhere = false;
};

} // namespace NSNode
