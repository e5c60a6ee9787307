#pragma once
// One game per data folder: a game holds a write lock on the file
// "quibbleton.lock" in its working folder for as long as it runs. The lock
// is the kernel's (fcntl), so it ends with the process, however that ends:
// a game that crashed leaves no lock behind, only the empty file.
#include <string>
#include <sys/types.h>

namespace NSWindow {

class FolderLock {
public:
    enum class State {
        Held,   // this game holds the folder
        Busy,   // another game holds it
        Failed, // the lock file cannot be used (problem() says why)
        ReadOnly, // the folder takes no files: no game can write there
    };

    static constexpr const char* kFileName = "quibbleton.lock";

    // Tries to take the lock of the folder (path "" or "." is the working
    // folder). Opens the lock file without following links and without
    // blocking, as a regular file only; creates it empty if it is missing.
    explicit FolderLock(const std::string& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    State state() const { return state_; }
    // With Busy: the process that holds the lock (0 if the system did not
    // say). On a network folder the number may be another machine's.
    pid_t holder() const { return holder_; }
    // Whether process pid on this machine runs the same program as this
    // one, and so may be sent the game's signals.
    static bool runsThisProgram(pid_t pid);
    // With Failed: what went wrong, for a message.
    const std::string& problem() const { return problem_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
    State state_ = State::Failed;
    pid_t holder_ = 0;
    std::string problem_;
};

} // namespace NSWindow
