#pragma once
// The number of a slider or a position bar: how it reads (in the language's
// decimal mark, with its unit, with as many places as a fine step of the
// slider needs) and how the player types into it. A click opens it with its
// text selected, so the first key replaces it; Enter takes the number,
// Escape drops it. A number outside the range is refused with the range
// shown, never applied; a typed number is rounded to the places shown.

#include <string>

#include "editable/MenuEntry.h"
#include "menu/TextFit.h"

namespace NSMenu {

class NumberField {
public:
    enum class Typed { Nothing, NotANumber, OutOfRange, Taken };

    void setReadout(const Readout& r) { readout = r; }
    const Readout& getReadout() const { return readout; }
    // The value's own range (value units), used when the readout names none.
    void setRange(float min, float max);
    // The range a typed number must lie in, in value units.
    float lowest() const { return readout.ranged ? readout.min : min; }
    float highest() const { return readout.ranged ? readout.max : max; }
    // Places after the decimal mark: the readout's, or enough that a
    // quarter pixel of an 88 pixel track changes the number (at most 3).
    int places() const;

    // The text of a value, with fewer places when it is wider than width.
    std::string format(float value, int width, const TextMeasure& measure) const;
    std::string format(float value) const;

    bool isOpen() const { return open; }
    // Starts typing over the shown text, which is selected.
    void openWith(const std::string& shown);
    void close() { open = false; }
    const std::string& getText() const { return text; }
    bool isSelected() const { return selected; }
    // Edits the text by a plain key (digits, "-", "." or ",", Backspace);
    // false for a key it does not take.
    bool type(int key);
    // Reads the typed number into value (value units, rounded to the
    // places): Nothing when nothing was typed.
    Typed take(float& value) const;
    // What the player reads when a typed number is refused: the range, or
    // that the owner refused it, in the player's language.
    std::string outOfRange(const std::string& label) const;
    std::string refused(const std::string& label, float value) const;

private:
    std::string shown(float value, int placesShown) const;

    Readout readout;
    float min = 0.0f;
    float max = 0.0f;
    bool open = false;
    bool selected = false;
    bool typed = false;
    std::string text;
};

} // namespace NSMenu
