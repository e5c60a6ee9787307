#pragma once
// Built-in levels around the quieter effects: heat that lifts a balloon,
// light that pushes a ball, and a last level that asks for both at once.
// Built like the first six (see BuiltInLevels.h): the constructor sets the
// title and the information text, build() the camera, room, objects, what
// the player may change, and the goals.
#include "level/Level.h"

namespace NSLevel {

// "Hei\xDF" "e Luft": a hot plate lifts the balloon, a turned board under the
// ceiling lets it slide off into the basket.
class Level10 : public Level {
public:
    Level10();
    void build() override;
};

// "Lichtdruck": a spotlight's beam pushes a very light ball off the table
// into the basket.
class Level11 : public Level {
public:
    Level11();
    void build() override;
};

// "Hoch hinaus": the spotlight rolls a ball off the table, the hot plate's
// warm air lifts it, a board under the ceiling lets it down into the
// basket on the wall shelf.
class Level12 : public Level {
public:
    Level12();
    void build() override;
};

} // namespace NSLevel
