#pragma once
// Painting model skins. A painter is a function from a place on the part
// (texture-rect coordinates, a direction on a sphere, a point on a box face)
// to a colour; these helpers run it over the texels of one rect, a few
// samples per texel, and spill a small margin beyond the rect so filtering
// never picks up a neighbour's colours.

#include <functional>

#include "assets/Image.h"
#include "assets/Mesh.h"

namespace NSAssets {

constexpr int SKIN_SIZE = 256;

// f(s, t) with s, t in 0..1 across the rect (t from the top).
void paintRect(Image& skin, UvRect rect, const std::function<Rgba(float s, float t)>& f);
// f(direction) for a rect holding a makeSphere mapping.
void paintSphere(Image& skin, UvRect rect, const std::function<Rgba(Vec3 dir)>& f);
// f(point, normal) for a rect holding face `face` of makeBox(size, ...).
void paintBoxFace(Image& skin, UvRect rect, Vec3 size, int face,
                  const std::function<Rgba(Vec3 point, Vec3 normal)>& f);

} // namespace NSAssets
