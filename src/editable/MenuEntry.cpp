#include "editable/MenuEntry.h"

#include "editable/MenuConfigureable.h"

namespace NSMenu {

int entryHeight(unsigned kind) {
    switch (kind) {
    case KIND_SEPARATOR: return 10;
    case KIND_BOOL:
    case KIND_INPUT:
    case KIND_SLIDER:
    case KIND_BUTTON:
    case KIND_ACCELERATOR: return 40;
    case KIND_PICTURE: return 155;
    case KIND_HEADER:
    case KIND_TEXT: return 20;
    default: return 0;
    }
}

Value Value::ofBool(bool b) {
    Value v;
    v.boolValue = b;
    return v;
}

Value Value::ofInt(int i) {
    Value v;
    v.intValue = i;
    return v;
}

Value Value::ofFloat(float f) {
    Value v;
    v.floatValue = f;
    return v;
}

Value Value::ofChar(signed char c) {
    Value v;
    v.charValue = c;
    return v;
}

Value Value::ofString(const std::string& s) {
    Value v;
    v.stringValue = s;
    return v;
}

Readout Readout::degrees() {
    Readout r;
    r.scale = 360.0f;
    r.places = 0;
    r.unit = "\xB0";
    return r;
}

ValueConstraintRange::ValueConstraintRange(int min, int max)
    : intMax(max), intMin(min), floatMin(static_cast<float>(min)), floatMax(static_cast<float>(max)) {}

ValueConstraintRange::ValueConstraintRange(int intMin, int intMax, float floatMin, float floatMax)
    : intMax(intMax), intMin(intMin), floatMin(floatMin), floatMax(floatMax) {}

bool ValueConstraintRange::isValid(unsigned type, const Value& v) const {
    switch (type) {
    case TYPE_INT: return intMin <= v.intValue && v.intValue <= intMax;
    case TYPE_FLOAT: return floatMin <= v.floatValue && v.floatValue <= floatMax;
    case TYPE_CHAR: return intMin <= v.charValue && v.charValue <= intMax;
    case TYPE_STRING: {
        long long length = static_cast<long long>(v.stringValue.size());
        return intMin <= length && length <= intMax;
    }
    default: return true;
    }
}

Value ValueConstraintRange::constrain(unsigned type, const Value& v) const {
    if (isValid(type, v))
        return v;
    Value out = v;
    switch (type) {
    case TYPE_INT: out.intValue = v.intValue < intMin ? intMin : intMax; break;
    case TYPE_FLOAT:
        // A value that is not a number compares false both ways: it becomes the minimum.
        out.floatValue = (v.floatValue > floatMax) ? floatMax : floatMin;
        break;
    case TYPE_CHAR:
        out.charValue = static_cast<signed char>(v.charValue < intMin ? intMin : intMax);
        break;
    case TYPE_STRING:
        if (intMin > 0 && out.stringValue.size() < static_cast<size_t>(intMin))
            out.stringValue.append(static_cast<size_t>(intMin) - out.stringValue.size(), ' ');
        if (intMax >= 0 && out.stringValue.size() > static_cast<size_t>(intMax))
            out.stringValue.resize(static_cast<size_t>(intMax));
        break;
    default: break;
    }
    return out;
}

ValueConstraint* ValueConstraintRange::clone() const { return new ValueConstraintRange(*this); }

MenuEntry::MenuEntry() : type(TYPE_INT), kind(KIND_SEPARATOR) {}

MenuEntry::MenuEntry(MenuConfigureable* owner, const std::string& label, unsigned type, unsigned kind,
                     const Value& value, bool enabled, ValueConstraint* constraint)
    : label(label), type(type), kind(kind), value(value), enabled(enabled), constraint(constraint),
      owner(owner) {}

MenuEntry::MenuEntry(const MenuEntry& other)
    : label(other.label), type(other.type), kind(other.kind), value(other.value), enabled(other.enabled),
      constraint(other.constraint ? other.constraint->clone() : nullptr), owner(other.owner),
      readout(other.readout) {}

MenuEntry& MenuEntry::operator=(const MenuEntry& other) {
    if (this != &other) {
        label = other.label;
        type = other.type;
        kind = other.kind;
        value = other.value;
        enabled = other.enabled;
        constraint.reset(other.constraint ? other.constraint->clone() : nullptr);
        owner = other.owner;
        readout = other.readout;
    }
    return *this;
}

} // namespace NSMenu
