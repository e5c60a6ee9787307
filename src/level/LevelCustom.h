#pragma once
// The level the editor builds: it starts as an empty 300 x 300 x 300 room
// with friction, gravity and one lamp, and becomes whatever the designer makes
// of it (saved and loaded as a level file).
#include "level/Level.h"

namespace NSLevel {

class LevelCustom : public Level {
public:
    LevelCustom();
    int classId() const override;
    void build() override;
};

} // namespace NSLevel
