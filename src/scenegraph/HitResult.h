#pragma once
// The answer of a hit test: whether two volumes overlap, and two contact
// directions that both point from the second volume towards the first (the
// way the first would have to move to get free).

#include "math/Vector3.h"

namespace NSNode {

struct HitResult {
    Vector3 normalA;
    Vector3 normalB;
    bool hit = false;
};

} // namespace NSNode
