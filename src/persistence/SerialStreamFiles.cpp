// The file-system side of saves: names of temporary files and clearing away
// what a save cut short by a crash left behind.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "persistence/SerialStream.h"
#include "shell/Log.h"

namespace NSSerialize {

const char* const SerialStream::kTempInfix = ".tmp-";

bool SerialStream::isTempName(const std::string& name) {
    size_t at = name.rfind(kTempInfix);
    if (at != std::string::npos && name.size() == at + std::strlen(kTempInfix) + 6)
        return true;
    // What earlier versions of the game left behind: "<name>.lvl.tmp".
    const std::string old = ".tmp";
    return name.size() > old.size() && name.compare(name.size() - old.size(), old.size(), old) == 0;
}

int SerialStream::removeStaleTempFiles(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    while (const struct dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!isTempName(name))
            continue;
        const std::string path = folder + "/" + name;
        struct stat info;
        // unlink removes a link itself, never what it points to.
        if (::lstat(path.c_str(), &info) == 0 && (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)) &&
            ::unlink(path.c_str()) == 0) {
            log(LOG_RESOURCE, "SerialStream: removed the unfinished save \"%s\"\n", path.c_str());
            ++removed;
        }
    }
    ::closedir(dir);
    return removed;
}

} // namespace NSSerialize
