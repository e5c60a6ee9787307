#pragma once
// The trace of the last run: while the machine runs, the path of every body
// that moves is sampled in simulated time; after the stop each path shows
// as a thin dotted line (dots kMinSpacing apart) in a colour tied to its
// object, with a mark where a goal pair touched. The scene keeps it until
// the next start or an edit.
//
// Memory and drawing stay bounded however many bodies move and however
// long: a new dot is taken only once a body has moved the spacing since its
// last one (a longer step is filled in with dots along its line), at most
// kMaxPaths bodies get a path, and when all paths together would hold more
// than kMaxPoints dots every path drops every second one (its first and
// last stay) and the spacing doubles.
#include <cstddef>
#include <unordered_map>
#include <vector>

#include "math/Vector3.h"

namespace NSNode {
class NodeTransform;
}

namespace NSScene {

class RunTrace {
public:
    // Samples every this many fixed steps of the machine (1/30 s).
    static constexpr long long kStepsPerSample = 4;
    static constexpr float kMinSpacing = 2.0f;
    static constexpr std::size_t kMaxPoints = std::size_t(1) << 14;
    static constexpr std::size_t kMaxPaths = 4096;
    // Thinning leaves every path two points at least: it must free enough.
    static_assert(kMaxPaths * 4 <= kMaxPoints, "paths of two points would fill the trace");

    struct Path {
        int id = 0;
        std::vector<Vector3> points;
    };

    // A new run: forgets the last one and notes where every body stands.
    void begin(const NSNode::NodeTransform* root);
    // After each step of the machine (counted from the start): samples the
    // bodies every kStepsPerSample steps.
    void afterStep(const NSNode::NodeTransform* root, long long step);
    // The run ends: every path gets the point where its body stopped.
    void finish(const NSNode::NodeTransform* root);
    // A goal pair touched at this point; one mark per pair and run.
    void addMark(int idA, int idB, const Vector3& at);
    void clear();

    // Off: begin and afterStep record nothing (the level simulator).
    void setRecording(bool on) { recording = on; }
    bool isRecording() const { return recording; }
    // The player's switch; on at first.
    void setShown(bool on) { shown = on; }
    bool isShown() const { return shown; }

    const std::vector<Path>& getPaths() const { return paths; }
    const std::vector<Vector3>& getMarks() const { return marks; }
    bool isEmpty() const { return paths.empty() && marks.empty(); }
    std::size_t pointCount() const { return points; }
    // The colour of the object with this id in the trace.
    static Vector3 colourOf(int id);

    // The paths and the marks, over everything, in world coordinates under
    // the current modelview.
    void draw() const;

private:
    struct Body {
        Vector3 last;
        int path = -1;
    };
    void sample(const NSNode::NodeTransform* root, bool final);
    void take(int id, const Vector3& at, bool final);
    void thin();

    std::unordered_map<int, Body> bodies;
    std::vector<Path> paths;
    std::vector<Vector3> marks;
    std::vector<std::pair<int, int>> markedPairs;
    std::size_t points = 0;
    // Every dot of every path and its colour, in one array each for drawing;
    // made again when the dots' count changed (the trace changes only while
    // it records, and is drawn only after).
    mutable std::vector<Vector3> dots;
    mutable std::vector<unsigned char> colours;
    float spacing = kMinSpacing;
    bool recording = true;
    bool shown = true;
};

} // namespace NSScene
