#include "persistence/Serializeable.h"

#include "shell/Log.h"

namespace NSSerialize {

Serializeable::~Serializeable() = default;

void Serializeable::serialize(SerialStream&) {}

std::map<int, Serializeable::MakeFunction>& Serializeable::registry() {
    // Built on first use: registrations run during static initialisation,
    // in whatever order the translation units come.
    static std::map<int, MakeFunction> makers;
    return makers;
}

bool Serializeable::registerClass(int id, MakeFunction make) {
    if (!make) {
        log(LOG_ERROR, "Serializeable::registerClass() - kein Konstruktor fuer Klassenid %d\n", id);
        return false;
    }
    if (!registry().emplace(id, make).second) {
        log(LOG_ERROR, "Serializeable::registerClass() - Klassenid doppelt vergeben (%d)\n", id);
        return false;
    }
    return true;
}

bool Serializeable::isRegistered(int id) { return registry().count(id) != 0; }

Serializeable* Serializeable::factorySerializeClass(int id, bool full) {
    auto found = registry().find(id);
    if (found == registry().end()) {
        log(LOG_ERROR, "Serializeable::factorySerializeClass() - Klassenid unbekannt (%d)\n", id);
        return nullptr;
    }
    return found->second(full);
}

void Serializeable::logNotASubtype(int id) {
    log(LOG_ERROR,
        "Serializeable::factorySerializeClass<T>() - geforderte klasse (%d) kein untertyp von gegebenem typ\n", id);
}

} // namespace NSSerialize
