#pragma once
// The two shapes records take on file, for the serialize operations that
// write and read them:
//   object: tag, then a block holding the class id (int) and the record;
//   list:   tag, then a block holding the count (int) and, per element, an
//           object as above.
// Tags are short NUL-terminated strings such as "[phyL]" / "[phyO]". Readers
// do not check them; the order of the fields is what matters.
//
// Reading is defensive, as files may be damaged:
//  - Every block's length is checked against the enclosing block and the
//    file, and after an element's record the stream moves to the end of the
//    element's block, so a record that reads less than was written does not
//    throw the rest of the file out of step.
//  - An element whose class the factory cannot make (an unknown id, or a
//    class of another kind than the list holds; the factory logs which) is
//    skipped by its block length. readElement then returns null and the
//    stream stays usable, so a list goes on with its next element and the
//    load as a whole still succeeds without that one object.
//  - A count that the rest of the block could not hold fails the stream.

#include <string>

#include "persistence/SerialStream.h"
#include "persistence/Serializeable.h"

namespace NSSerialize {

// The least an element takes on file: an empty tag (1 byte), its block
// length (4) and its class id (4).
constexpr int kMinElementBytes = 9;

// Writes object as an element: tag, block, class id, record.
void writeElement(SerialStream& stream, const char* tag, Serializeable& object);

// Reads one element written by writeElement and returns the new object,
// made by the factory with full false and filled by its serialize; the
// caller owns it. Null when the stream has failed or ended, and for an
// element that was skipped (see above).
template <class T>
T* readElement(SerialStream& stream) {
    if (!stream.isReading() || stream.failed() || stream.ended())
        return nullptr;
    stream.readString(); // the tag
    long end = stream.readBlockEnd();
    if (end < 0)
        return nullptr;
    int id = stream.readInt();
    if (stream.failed() || stream.ended())
        return nullptr;
    T* object = Serializeable::factorySerializeClass<T>(id, false);
    if (object) {
        Serializeable* record = object;
        record->serialize(stream);
    } else {
        stream.noteSkipped();
    }
    stream.leaveBlock(end);
    if (object && stream.failed()) {
        delete object;
        return nullptr;
    }
    return object;
}

// Writes a list of elements from a range of pointers (null pointers are left
// out): listTag, block, count, then each element under elementTag.
template <class Iterator>
void writeList(SerialStream& stream, const char* listTag, const char* elementTag, Iterator first, Iterator last) {
    int count = 0;
    for (Iterator it = first; it != last; ++it)
        if (*it)
            ++count;
    stream.writeString(listTag ? listTag : "");
    stream.beginBlock();
    stream.writeInt(count);
    for (Iterator it = first; it != last; ++it)
        if (*it)
            writeElement(stream, elementTag, **it);
    stream.endBlock();
}

template <class Container>
void writeList(SerialStream& stream, const char* listTag, const char* elementTag, const Container& elements) {
    writeList(stream, listTag, elementTag, elements.begin(), elements.end());
}

// Reads a list written by writeList and hands each element that could be
// made to take(T*), in file order; take owns it from then on. Returns the
// number of elements handed over.
template <class T, class Take>
int readList(SerialStream& stream, Take take) {
    if (!stream.isReading() || stream.failed() || stream.ended())
        return 0;
    stream.readString(); // the tag
    long end = stream.readBlockEnd();
    if (end < 0)
        return 0;
    int count = stream.readCount(kMinElementBytes);
    int taken = 0;
    for (int i = 0; i < count && !stream.failed() && !stream.ended(); ++i) {
        if (T* element = readElement<T>(stream)) {
            take(element);
            ++taken;
        }
    }
    stream.leaveBlock(end);
    return taken;
}

// Objects without a class id (the camera, a goal pair): tag, then a block
// that writeBody(stream) fills.
template <class WriteBody>
void writeBlock(SerialStream& stream, const char* tag, WriteBody writeBody) {
    stream.writeString(tag ? tag : "");
    stream.beginBlock();
    writeBody(stream);
    stream.endBlock();
}

// Reads what writeBlock wrote: readBody(stream) reads the content, then the
// stream moves to the end of the block. False if the block could not be
// entered (its body was not called) or the stream failed.
template <class ReadBody>
bool readBlock(SerialStream& stream, ReadBody readBody) {
    if (!stream.isReading() || stream.failed() || stream.ended())
        return false;
    stream.readString(); // the tag
    long end = stream.readBlockEnd();
    if (end < 0)
        return false;
    readBody(stream);
    stream.leaveBlock(end);
    return !stream.failed();
}

} // namespace NSSerialize
