#pragma once
// Flat vector drawing for the menu icons: filled polygons, circles and thick
// lines in a unit square (x right, y down), drawn at a higher resolution and
// filtered down for smooth edges. Later shapes cover earlier ones.

#include <functional>
#include <vector>

#include "assets/Image.h"
#include "assets/Geometry.h"

namespace NSAssets {

// Colour of a point of a shape, for gradients; p in unit coordinates.
using Shader = std::function<Rgba(Vec2 p)>;

class Canvas {
public:
    Canvas(int width, int height, int supersample = 4);

    void fillPolygon(const std::vector<Vec2>& points, const Shader& shader);
    void fillPolygon(const std::vector<Vec2>& points, Rgba c);
    void fillCircle(Vec2 centre, float radius, const Shader& shader);
    void fillCircle(Vec2 centre, float radius, Rgba c);
    void line(Vec2 a, Vec2 b, float width, Rgba c);
    void polyline(const std::vector<Vec2>& points, float width, Rgba c, bool closed = false);
    // A stroke with a filled triangular head at its end.
    void arrow(Vec2 from, Vec2 to, float width, float headSize, Rgba c);

    Image result() const;

private:
    template <typename Inside>
    void fillWhere(float x0, float y0, float x1, float y1, Inside inside, const Shader& shader);

    int w, h, ss;
    Image img;
};

// Points along a circle arc (angles in radians, 0 = +x, growing clockwise on screen).
std::vector<Vec2> arcPoints(Vec2 centre, float radius, float from, float to, int segments);

} // namespace NSAssets
