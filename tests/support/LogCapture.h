#pragma once
// Points the log file at a scratch file for one test and reads it back.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "shell/Log.h"
#include "support/GameFolder.h"

namespace qbntest {

class LogCapture {
public:
    explicit LogCapture(unsigned fileMask = 0xFFFFFFFFu, unsigned consoleMask = 0)
        : oldFileMask(logFileMask()), oldConsoleMask(logConsoleMask()) {
        char name[] = "/tmp/qbn-log-XXXXXX";
        int fd = mkstemp(name);
        if (fd >= 0)
            close(fd);
        path = name;
        openLogFile(path.c_str());
        setLogFileMask(fileMask);
        setLogConsoleMask(consoleMask);
    }
    ~LogCapture() {
        closeLogFile();
        std::remove(path.c_str());
        setLogFileMask(oldFileMask);
        setLogConsoleMask(oldConsoleMask);
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::string text() const { return fileBytes(path); }
    const std::string& filePath() const { return path; }

private:
    std::string path;
    unsigned oldFileMask;
    unsigned oldConsoleMask;
};

} // namespace qbntest
