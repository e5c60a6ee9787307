#pragma once
// Everything that can be duplicated implements Cloneable. The pattern of
// every class: clone() makes a new object of its own class with the full
// flag false and calls its copyFrom(this); copyFrom first checks that the
// source is of its own class (otherwise it changes nothing), then calls its
// base class's copyFrom, then copies its own fields. Owned sub-objects are
// copied through their own clone, so copies are deep.

namespace NSClone {

class Cloneable {
public:
    virtual ~Cloneable() = default;

    virtual Cloneable* clone() const = 0;
    virtual void copyFrom(const Cloneable* source) = 0;
};

// The clone of the pattern above: a new T made with the full flag false,
// filled by its copyFrom.
template <class T>
Cloneable* cloneOf(const T& source) {
    T* copy = new T(false);
    copy->copyFrom(&source);
    return copy;
}

} // namespace NSClone
