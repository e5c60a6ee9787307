#include "level/UndoHistory.h"

#include <algorithm>

namespace NSLevel {

namespace {

// Changes closer than this many equal bytes make one edit.
constexpr size_t kJoinGap = 8;

} // namespace

void UndoHistory::clear() {
    started_ = false;
    current_ = EditState();
    undo_.clear();
    redo_.clear();
    stepBytes_ = 0;
}

// The common head and tail stay; the middle is compared place by place
// over the length both share (a block's length field, a moved object's
// values), and what one side has beyond that is inserted or removed (an
// object made or deleted).
UndoHistory::Patch UndoHistory::diff(const std::string& from, const std::string& to) {
    Patch patch;
    const size_t nf = from.size(), nt = to.size();
    size_t head = 0;
    while (head < nf && head < nt && from[head] == to[head])
        ++head;
    if (head == nf && head == nt)
        return patch;
    size_t tail = 0;
    while (tail < nf - head && tail < nt - head && from[nf - 1 - tail] == to[nt - 1 - tail])
        ++tail;
    const size_t fromMiddle = nf - head - tail, toMiddle = nt - head - tail;
    const size_t shared = std::min(fromMiddle, toMiddle);
    for (size_t i = 0; i < shared;) {
        if (from[head + i] == to[head + i]) {
            ++i;
            continue;
        }
        size_t end = i + 1;
        for (size_t j = end, equal = 0; j < shared && equal < kJoinGap; ++j) {
            if (from[head + j] == to[head + j]) {
                ++equal;
            } else {
                equal = 0;
                end = j + 1;
            }
        }
        patch.push_back({head + i, end - i, to.substr(head + i, end - i)});
        i = end;
    }
    if (fromMiddle != toMiddle) {
        const size_t at = head + shared;
        std::string rest = to.substr(at, toMiddle - shared);
        if (!patch.empty() && patch.back().at + patch.back().erase == at) {
            patch.back().erase += fromMiddle - shared;
            patch.back().insert += rest;
        } else {
            patch.push_back({at, fromMiddle - shared, std::move(rest)});
        }
    }
    return patch;
}

std::string UndoHistory::apply(const Patch& patch, const std::string& base) {
    std::string out;
    out.reserve(base.size() + 64);
    size_t pos = 0;
    for (const Edit& edit : patch) {
        out.append(base, pos, edit.at - pos);
        out += edit.insert;
        pos = edit.at + edit.erase;
    }
    out.append(base, pos, std::string::npos);
    return out;
}

size_t UndoHistory::patchBytes(const Patch& patch) {
    size_t bytes = sizeof(Patch) + patch.capacity() * sizeof(Edit);
    for (const Edit& edit : patch)
        bytes += edit.insert.capacity();
    return bytes;
}

bool UndoHistory::record(const EditState& state) {
    if (!started_ || (state.level == current_.level && state.scene == current_.scene)) {
        started_ = true;
        current_ = state;
        return false;
    }
    Step step;
    step.backLevel = diff(state.level, current_.level);
    step.forthLevel = diff(current_.level, state.level);
    step.backScene = diff(state.scene, current_.scene);
    step.forthScene = diff(current_.scene, state.scene);
    step.selectedBefore = current_.selected;
    step.selectedAfter = state.selected;
    step.bytes = sizeof(Step) + patchBytes(step.backLevel) + patchBytes(step.forthLevel) +
                 patchBytes(step.backScene) + patchBytes(step.forthScene);
    for (const Step& dropped : redo_)
        stepBytes_ -= dropped.bytes;
    redo_.clear();
    stepBytes_ += step.bytes;
    undo_.push_back(std::move(step));
    current_ = state;
    trim();
    return true;
}

void UndoHistory::trim() {
    while (undo_.size() > kMaxSteps || (undo_.size() > kMinSteps && stepBytes_ > kMaxBytes)) {
        stepBytes_ -= undo_.front().bytes;
        undo_.pop_front();
    }
}

bool UndoHistory::undo(EditState& to, int& orSelect) { return walk(undo_, redo_, true, to, orSelect); }

bool UndoHistory::redo(EditState& to, int& orSelect) { return walk(redo_, undo_, false, to, orSelect); }

bool UndoHistory::walk(std::deque<Step>& from, std::deque<Step>& onto, bool back, EditState& to, int& orSelect) {
    if (from.empty())
        return false;
    Step& step = from.back();
    current_.level = apply(back ? step.backLevel : step.forthLevel, current_.level);
    current_.scene = apply(back ? step.backScene : step.forthScene, current_.scene);
    current_.selected = back ? step.selectedBefore : step.selectedAfter;
    orSelect = back ? step.selectedAfter : step.selectedBefore;
    to = current_;
    onto.push_back(std::move(step));
    from.pop_back();
    return true;
}

size_t UndoHistory::bytes() const {
    return sizeof(*this) + current_.level.capacity() + current_.scene.capacity() + stepBytes_;
}

} // namespace NSLevel
