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
    explicit CollisionWork(const NSNode::ControllerNode& world) : phase(world) {}

    BroadPhase phase;
    bool broadPhaseEnabled = true;
    // How many moves are walking the registered nodes right now.
    std::size_t walkDepth = 0;
    // Per move under way: the nodes it may meet and their thickness.
    std::deque<std::vector<NSNode::NodeTransform*>> candidateLists;
    std::deque<std::vector<float>> candidateThickness;
    // The broad phase's answer while a move collects its candidates.
    std::vector<std::uint32_t> indexList;
    // The neighbours of the body being separated at the end of a step.
    std::vector<std::uint32_t> separationList;
    // The neighbours a body probes for contacts (rest, wedges, wakes).
    std::vector<std::uint32_t> probeList;
};

} // namespace NSPhysical
