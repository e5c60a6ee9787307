#pragma once
// Points the log file at a scratch file for one test and reads it back.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "shell/Log.h"

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

    std::string text() const {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    const std::string& filePath() const { return path; }

private:
    std::string path;
    unsigned oldFileMask;
    unsigned oldConsoleMask;
};

} // namespace qbntest
