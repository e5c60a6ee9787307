#include "shell/SafeFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "shell/Log.h"

namespace NSFile {

namespace {

constexpr const char* kTempInfix = ".tmp-";

std::string describeType(mode_t mode) {
    if (S_ISLNK(mode))
        return "is a link";
    if (S_ISDIR(mode))
        return "is a folder";
    return "is a pipe or device, not a file";
}

// The mode a plain fopen would give a new file: 0666 less the umask.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool allDigits(const std::string& s) { return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos; }

// The name of the file a temporary name stands in for ("" if none).
std::string tempTarget(const std::string& name) {
    const size_t infix = name.rfind(kTempInfix);
    if (infix != std::string::npos && name.size() == infix + std::strlen(kTempInfix) + 6)
        return name.substr(0, infix);
    if (endsWith(name, ".tmp") && name.size() > 4)
        return name.substr(0, name.size() - 4);
    // "<x>.tmp<pid>_<n>", as the progress file's writer once named them.
    const size_t tmp = name.rfind(".tmp");
    const size_t bar = name.rfind('_');
    if (tmp != std::string::npos && tmp > 0 && bar != std::string::npos && bar > tmp + 4 &&
        allDigits(name.substr(tmp + 4, bar - tmp - 4)) && allDigits(name.substr(bar + 1)))
        return name.substr(0, tmp);
    return std::string();
}

bool renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the flag: a new hard link never replaces either.
    if (::link(from.c_str(), to.c_str()) != 0)
        return false;
    ::unlink(from.c_str());
    return true;
}

} // namespace

Opened openForReading(const std::string& path) {
    Opened opened;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        opened.missing = errno == ENOENT;
        struct stat info;
        opened.problem = (errno == ELOOP && ::lstat(path.c_str(), &info) == 0) ? describeType(info.st_mode)
                                                                              : std::strerror(errno);
        return opened;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        opened.problem = ::fstat(fd, &info) != 0 ? std::strerror(errno) : describeType(info.st_mode);
        ::close(fd);
        return opened;
    }
    // A regular file never blocks; reads go on as usual.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    opened.fd = fd;
    return opened;
}

std::FILE* openStream(const std::string& path, std::string* problem) {
    Opened opened = openForReading(path);
    std::FILE* file = opened.fd >= 0 ? ::fdopen(opened.fd, "rb") : nullptr;
    if (opened.fd >= 0 && !file) {
        opened.problem = std::strerror(errno);
        ::close(opened.fd);
    }
    if (problem)
        *problem = opened.problem;
    return file;
}

Read readFile(const std::string& path, std::string& bytes, size_t maxBytes, std::string* problem) {
    bytes.clear();
    Opened opened = openForReading(path);
    std::string why = opened.problem;
    if (opened.fd >= 0) {
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(opened.fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                why = std::strerror(errno);
            else if (bytes.size() + static_cast<size_t>(n) > maxBytes)
                why = "is larger than " + std::to_string(maxBytes) + " bytes";
            if (n <= 0 || !why.empty())
                break;
            bytes.append(buffer, static_cast<size_t>(n));
        }
        ::close(opened.fd);
    }
    if (problem)
        *problem = why;
    if (why.empty())
        return Read::Whole;
    bytes.clear();
    return opened.missing ? Read::Missing : Read::Refused;
}

NewFile::NewFile(const std::string& target, bool replaceLink) : target_(target) {
    struct stat info;
    if (::lstat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !(S_ISLNK(info.st_mode) && replaceLink)) {
        problem_ = describeType(info.st_mode);
        return;
    }
    std::string pattern = target + kTempInfix + "XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        problem_ = std::strerror(errno);
        return;
    }
    temp_ = pattern;
    fd_ = fd;
    ::fchmod(fd_, newFileMode());
}

NewFile::~NewFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!temp_.empty())
        ::unlink(temp_.c_str());
}

bool NewFile::fail(const std::string& what) {
    if (problem_.empty())
        problem_ = what;
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temp_.empty())
        ::unlink(temp_.c_str());
    temp_.clear();
    return false;
}

bool NewFile::write(const std::string& bytes) {
    size_t done = 0;
    while (fd_ >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(n < 0 ? std::strerror(errno) : "nothing written");
        done += static_cast<size_t>(n);
    }
    return fd_ >= 0;
}

bool NewFile::commit() {
    if (fd_ < 0)
        return fail(problem_);
    if (::fsync(fd_) != 0)
        return fail(std::strerror(errno));
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || ::rename(temp_.c_str(), target_.c_str()) != 0)
        return fail(std::strerror(errno));
    temp_.clear();
    return true;
}

int NewFile::commitOpen() {
    if (fd_ < 0 || ::rename(temp_.c_str(), target_.c_str()) != 0) {
        fail(fd_ < 0 ? problem_ : std::strerror(errno));
        return -1;
    }
    temp_.clear();
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

bool writeFile(const std::string& path, const std::string& bytes, std::string* problem) {
    NewFile file(path);
    const bool ok = file.write(bytes) && file.commit();
    if (problem)
        *problem = file.problem();
    return ok;
}

std::string setAside(const std::string& path, std::string* problem) {
    std::string aside = path + ".bad";
    for (int n = 2; n <= 1000; ++n) {
        if (renameNoReplace(path, aside)) {
            log(LOG_ERROR, "\"%s\" cannot be read and is set aside as \"%s\"\n", path.c_str(), aside.c_str());
            return aside;
        }
        if (errno != EEXIST)
            break;
        aside = path + ".bad-" + std::to_string(n);
    }
    const std::string why = errno == EEXIST ? std::string("too many set aside already") : std::strerror(errno);
    log(LOG_ERROR, "\"%s\" cannot be read, nor set aside: %s\n", path.c_str(), why.c_str());
    if (problem)
        *problem = why;
    return std::string();
}

bool isTempName(const std::string& name) { return !tempTarget(name).empty(); }

int removeStaleTemps(const std::string& folder, const std::vector<std::string>& ofFiles) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    while (const struct dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const std::string target = tempTarget(name);
        bool ours = !target.empty() && ofFiles.empty();
        for (const std::string& file : ofFiles)
            ours = ours || target == file;
        if (!ours)
            continue;
        const std::string path = folder + "/" + name;
        struct stat info;
        // unlink removes a link itself, never what it points to.
        if (::lstat(path.c_str(), &info) == 0 && (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)) &&
            ::unlink(path.c_str()) == 0) {
            log(LOG_RESOURCE, "Removed the unfinished save \"%s\"\n", path.c_str());
            ++removed;
        }
    }
    ::closedir(dir);
    return removed;
}

} // namespace NSFile
