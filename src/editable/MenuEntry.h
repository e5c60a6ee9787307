#pragma once
// One line of the side menu as an editable class declares it: a label that is
// also the key of the value, the value's type, the widget kind and the value
// itself, optionally with a range. The menu routes changes back to the owner
// by the label.

#include <memory>
#include <string>

namespace NSMenu {

class MenuConfigureable;

enum ValueType : unsigned {
    TYPE_BOOL = 1,
    TYPE_INT = 2,
    TYPE_FLOAT = 3,
    TYPE_CHAR = 4,
    TYPE_STRING = 5,
};

// The widget an entry asks for.
enum EntryKind : unsigned {
    KIND_SEPARATOR = 1,
    KIND_BOOL = 2,
    KIND_INPUT = 3,
    KIND_SLIDER = 4,
    KIND_BUTTON = 5,
    KIND_ACCELERATOR = 6,
    KIND_PICTURE = 7,
    KIND_HEADER = 8,
    KIND_TEXT = 9,
};

// Height in pixels of the widget of an entry kind; 0 for kinds without a widget.
int entryHeight(unsigned kind);

class MenuEntry {
public:
    // Carries a value of every type at once; the type tag says which slot counts.
    struct Value {
        signed char charValue = 0;
        int intValue = 0;
        float floatValue = 0.0f;
        bool boolValue = false;
        std::string stringValue;

        static Value ofBool(bool b);
        static Value ofInt(int i);
        static Value ofFloat(float f);
        static Value ofChar(signed char c);
        static Value ofString(const std::string& s);
    };

    class ValueConstraint {
    public:
        virtual ~ValueConstraint() = default;
        virtual bool isValid(unsigned type, const Value& value) const = 0;
        virtual Value constrain(unsigned type, const Value& value) const = 0;
        virtual ValueConstraint* clone() const = 0;
    };

    // A closed range: numbers between min and max, characters by their code,
    // strings by their length.
    class ValueConstraintRange : public ValueConstraint {
    public:
        ValueConstraintRange(int min, int max);
        ValueConstraintRange(int intMin, int intMax, float floatMin, float floatMax);
        bool isValid(unsigned type, const Value& value) const override;
        Value constrain(unsigned type, const Value& value) const override;
        ValueConstraint* clone() const override;

        int intMax;
        int intMin;
        float floatMin;
        float floatMax;
    };

    // How a number line (a slider, a position bar) reads out its value and
    // takes a number typed into it.
    struct Readout {
        // The number shown is the value times scale (a turn shown in degrees: 360).
        float scale = 1.0f;
        // Places after the decimal mark, shown and typed; -1: enough to show
        // a fine step (a quarter pixel of the slider's track).
        int places = -1;
        // Written after the number, such as "\xB0" (Latin-1 degrees).
        std::string unit;
        // A typed number goes to this label (empty: the line's own).
        std::string typedLabel;
        // The range of a typed number in value units; without it the line's
        // range constraint.
        bool ranged = false;
        float min = 0.0f;
        float max = 0.0f;

        // A turn read in whole degrees.
        static Readout degrees();
    };

    // A gap line: a separator without owner.
    MenuEntry();
    MenuEntry(MenuConfigureable* owner, const std::string& label, unsigned type, unsigned kind,
              const Value& value, bool enabled, ValueConstraint* constraint = nullptr);
    MenuEntry(const MenuEntry& other);
    MenuEntry& operator=(const MenuEntry& other);
    MenuEntry(MenuEntry&&) noexcept = default;
    MenuEntry& operator=(MenuEntry&&) noexcept = default;
    virtual ~MenuEntry() = default;

    std::string label;
    unsigned type = TYPE_INT;
    unsigned kind = KIND_SEPARATOR;
    Value value;
    bool enabled = true;
    std::unique_ptr<ValueConstraint> constraint;
    MenuConfigureable* owner = nullptr;
    Readout readout;
};

using Value = MenuEntry::Value;
using ValueConstraint = MenuEntry::ValueConstraint;
using ValueConstraintRange = MenuEntry::ValueConstraintRange;
using Readout = MenuEntry::Readout;

} // namespace NSMenu
