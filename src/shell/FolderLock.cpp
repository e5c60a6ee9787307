#include "shell/FolderLock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace NSWindow {

FolderLock::FolderLock(const std::string& folder)
    : path_(folder.empty() || folder == "." ? std::string(kFileName) : folder + "/" + kFileName) {
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        if (errno == EROFS || errno == EACCES)
            state_ = State::ReadOnly;
        problem_ = errno == ELOOP ? "it is a link" : std::strerror(errno);
        return;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        problem_ = "it is not a regular file";
        return;
    }
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd_, F_SETLK, &lock) == 0) {
        state_ = State::Held;
        return;
    }
    if (errno != EACCES && errno != EAGAIN) {
        problem_ = std::strerror(errno);
        return;
    }
    state_ = State::Busy;
    struct flock who {};
    who.l_type = F_WRLCK;
    who.l_whence = SEEK_SET;
    if (::fcntl(fd_, F_GETLK, &who) == 0 && who.l_type != F_UNLCK && who.l_pid > 0)
        holder_ = who.l_pid;
}

bool FolderLock::runsThisProgram(pid_t pid) {
    if (pid <= 0)
        return false;
    struct stat self {}, other {};
    const std::string exe = "/proc/" + std::to_string(pid) + "/exe";
    return ::stat("/proc/self/exe", &self) == 0 && ::stat(exe.c_str(), &other) == 0 && self.st_dev == other.st_dev &&
           self.st_ino == other.st_ino;
}

FolderLock::~FolderLock() {
    // Closing the file ends the lock; the empty file stays for the next game.
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace NSWindow
