#pragma once
// Everything that can be saved implements Serializeable: it names its class
// id and has one operation, serialize, that writes its record to a stream or
// reads it back, by the stream's direction. A derived class first calls its
// base class's serialize, then handles its own fields, and does nothing at
// all unless the stream's version is the current one.
//
// The class factory turns a class id read from a file into a new object.
// Classes join it from their own .cpp files with QBN_REGISTER_CLASS; the
// core library is linked whole, so those registrations always run.

#include <map>

#include "persistence/ClassIds.h"
#include "persistence/SerialStream.h"

namespace NSSerialize {

class Serializeable {
public:
    // Makes an object of one class; full gives it its defaults, otherwise
    // it waits to be filled by serialize or copyFrom.
    using MakeFunction = Serializeable* (*)(bool full);

    virtual ~Serializeable();

    virtual int classId() const = 0;
    virtual void serialize(SerialStream& stream);

    // A new object of the class with this id, or null (logged) for an id
    // that has no maker.
    static Serializeable* factorySerializeClass(int id, bool full);
    // The same, as a T. An object of another type is logged, destroyed, and
    // null is returned.
    template <class T>
    static T* factorySerializeClass(int id, bool full);

    // Adds a maker for id. Refuses (false, logged) a null maker or an id
    // that already has one; the first registration stays.
    static bool registerClass(int id, MakeFunction make);
    static bool isRegistered(int id);

private:
    static std::map<int, MakeFunction>& registry();
    static void logNotASubtype(int id);
};

template <class T>
T* Serializeable::factorySerializeClass(int id, bool full) {
    Serializeable* made = factorySerializeClass(id, full);
    if (!made)
        return nullptr;
    T* typed = dynamic_cast<T*>(made);
    if (!typed) {
        logNotASubtype(id);
        delete made;
    }
    return typed;
}

} // namespace NSSerialize

#define QBN_REGISTER_CONCAT_INNER(a, b) a##b
#define QBN_REGISTER_CONCAT(a, b) QBN_REGISTER_CONCAT_INNER(a, b)

// Registers CLASS under ID with the class factory; the factory then makes it
// with new CLASS(full). Use once per class, at namespace scope in its .cpp.
#define QBN_REGISTER_CLASS(ID, CLASS)                                                                        \
    namespace {                                                                                              \
    [[maybe_unused]] const bool QBN_REGISTER_CONCAT(qbnClassRegistered_, __COUNTER__) =                      \
        ::NSSerialize::Serializeable::registerClass(                                                         \
            (ID), [](bool full) -> ::NSSerialize::Serializeable* { return new CLASS(full); });               \
    }
