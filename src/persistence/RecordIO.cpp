#include "persistence/RecordIO.h"

namespace NSSerialize {

void writeElement(SerialStream& stream, const char* tag, Serializeable& object) {
    stream.writeString(tag ? tag : "");
    stream.beginBlock();
    stream.writeInt(object.classId());
    object.serialize(stream);
    stream.endBlock();
}

} // namespace NSSerialize
