#pragma once
// The loudest few impacts of a frame, kept in a fixed array without
// allocating: a pile of a thousand balls costs one comparison per contact
// and never more than kCapacity new voices a frame.
#include <array>
#include <cstddef>

#include "audio/SoundMaterial.h"
#include "math/Vector3.h"

namespace NSAudio {

struct HeardImpact {
    float loudness = 0.0f;
    float speed = 0.0f;
    Impact impact;
    Vector3 at;
};

class LoudestImpacts {
public:
    static constexpr size_t kCapacity = 4;

    // Keeps the impact if there is room or it is louder than the quietest kept one, which it then replaces.
    void offer(const HeardImpact& heard) {
        size_t slot = count;
        if (count == kCapacity) {
            slot = 0;
            for (size_t i = 1; i < kCapacity; ++i)
                if (kept[i].loudness < kept[slot].loudness)
                    slot = i;
            if (kept[slot].loudness >= heard.loudness)
                return;
        } else {
            ++count;
        }
        kept[slot] = heard;
    }
    size_t size() const { return count; }
    const HeardImpact& operator[](size_t i) const { return kept[i]; }
    void clear() { count = 0; }

private:
    std::array<HeardImpact, kCapacity> kept{};
    size_t count = 0;
};

} // namespace NSAudio
