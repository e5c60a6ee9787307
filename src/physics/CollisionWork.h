#pragma once
// What the contact search keeps between moves: the broad phase over the
// registered nodes, whether it is used, and the candidate list of every move
// under way (a move made while another walks its list must not overwrite
// that list; a deque keeps the lists in place while it grows).
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "physics/BroadPhase.h"

namespace NSPhysical {

struct CollisionWork {
    BroadPhase phase;
    bool broadPhaseEnabled = true;
    // How many moves are walking the registered nodes right now.
    std::size_t walkDepth = 0;
    std::deque<std::vector<std::uint32_t>> candidateLists;
    // The neighbours of the body being separated at the end of a step.
    std::vector<std::uint32_t> separationList;
};

} // namespace NSPhysical
