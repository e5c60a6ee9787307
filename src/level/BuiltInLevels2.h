#pragma once
// Built-in levels around the fan's wind, the Tesla coil's electricity and
// the magnet's pull.
// Built like the others (see BuiltInLevels.h): the constructor sets
// the title and the information text, build() the camera, room, objects,
// what the player may change, and the goals.
#include "level/Level.h"

namespace NSLevel {

// "Frischer Wind": the fan, turned toward the ball, blows it across the
// floor into the goal.
class Level07 : public Level {
public:
    Level07();
    void build() override;
};

// "Unter Strom": the fan blows only while a switched-on Tesla coil reaches
// it; powered, it blows the ball off the table into the basket.
class Level08 : public Level {
public:
    Level08();
    void build() override;
    // Switches every fan that takes electricity on while the electricity of
    // a switched-on coil reaches it and off otherwise, then checks the
    // goals. It finds fan and coil in the scene it runs, so the rule holds
    // in any layout of the level read back from a file.
    void update() override;
};

// "Anziehend": the magnet on its arm, turned to the right place behind the
// goal, pulls the steel ball off its way from the ramp into the goal.
class Level09 : public Level {
public:
    Level09();
    void build() override;
};

} // namespace NSLevel
