#pragma once
// Shared surface looks for the skins, as colour functions of a point.

#include <cstdint>

#include "assets/Image.h"
#include "assets/Geometry.h"

namespace NSAssets {

// Sawn planks lying along z, side by side across x; the log rings show on
// the end faces and as long flames on the top. plankWidth is measured along x.
Rgba woodAt(Vec3 p, float plankWidth, float boardWidth, uint32_t seed);
// Plain paint or plastic with a little unevenness.
Rgba paintAt(Vec3 p, Rgba base, uint32_t seed);
// Brushed metal; the brushing runs along `grain`.
Rgba metalAt(Vec3 p, Rgba base, Vec3 grain, uint32_t seed);
// Dark rubber.
Rgba rubberAt(Vec3 p, uint32_t seed);
// A place for the patterns on a part wrapped round an axis (texture s once
// around, t along it), so that the pattern closes up where s wraps.
Vec3 aroundAxis(float s, float t, float circumference, float height);
// A darker frame of the given width around a rect (s, t in 0..1), e.g. edge wear.
float edgeShade(float s, float t, float width);

} // namespace NSAssets
