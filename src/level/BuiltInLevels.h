#pragma once
// The seven levels that come with the game, in play order. Each constructor
// sets the title and the information text; build() sets the camera, makes
// the room with its gravity (and mostly friction), places the objects, says
// which of them the player may select, move or turn, and registers the
// goals with the ids of the objects it has just made.
#include <string>
#include <vector>

#include "level/Level.h"

namespace NSLevel {

// "Die Bombe und der Swimminpool (Teil 1)": the basketball through the grate.
class Level01 : public Level {
public:
    Level01();
    void build() override;
};

// "Die Bombe und der Swimminpool (Teil 2)": the tennis ball onto the bowling ball.
class Level02 : public Level {
public:
    Level02();
    void build() override;
};

// "Nachtruhe": the tennis ball knocks the loose attic board down. The
// board hangs still until the ball hits it; then it falls, and the level is
// won when it reaches the room.
class Level03 : public Level {
public:
    Level03();
    void build() override;
    // Lets the board fall once a tennis ball has hit it, then checks the
    // goals. The board is the goal's partner of the room, so the rule holds
    // in any layout of the level read back from a file, whatever its ids.
    void update() override;
};

// The built-in level whose title is name (none for an empty name): a level
// file read into it plays by that level's own rules. Null when none has it.
Level* builtInLevelTitled(const std::vector<Level*>& levels, const std::string& name);

// "Schlag den Pogopuschl K.O.": the basketball hits the green tennis ball.
class Level04 : public Level {
public:
    Level04();
    void build() override;
};

// "Her mit den Baellen!": all five tennis balls off the cabinet.
class Level05 : public Level {
public:
    Level05();
    void build() override;
};

// "RUTSCHPARTIE": the tennis ball down the whole slide into the basket.
class Level06 : public Level {
public:
    Level06();
    void build() override;
};

// The sandbox after the last level: everything may be moved, nothing wins.
class LevelLast : public Level {
public:
    LevelLast();
    void build() override;
    void checkGoals() override {}
};

} // namespace NSLevel
