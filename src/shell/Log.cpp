#include "shell/Log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <unistd.h>

#include "shell/SafeFile.h"

namespace {

unsigned consoleMask = 0;
unsigned fileMask = 0xFFFFFFFFu;
FILE* logFile = nullptr;
char formatBuffer[256];

void writeOut(unsigned level, const char* text) {
    bool toConsole = (consoleMask & level) != 0;
    bool toFile = logFile && (fileMask & level) != 0;
    if (!toConsole && !toFile)
        return;
    std::string utf8 = latin1ToUtf8(text);
    if (toConsole) {
        std::fputs(utf8.c_str(), stdout);
        std::fflush(stdout);
    }
    if (toFile) {
        std::fputs(utf8.c_str(), logFile);
        std::fflush(logFile);
    }
}

void vlog(unsigned level, const char* format, va_list args) {
    if (!format)
        return;
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(formatBuffer, sizeof formatBuffer, format, copy);
    va_end(copy);
    if (length < 0)
        return;
    if (static_cast<size_t>(length) < sizeof formatBuffer) {
        writeOut(level, formatBuffer);
        return;
    }
    std::unique_ptr<char[]> heap(new char[static_cast<size_t>(length) + 1]);
    std::vsnprintf(heap.get(), static_cast<size_t>(length) + 1, format, args);
    writeOut(level, heap.get());
}

} // namespace

void log(unsigned level, const char* format, ...) {
    va_list args;
    va_start(args, format);
    vlog(level, format, args);
    va_end(args);
}

void logFatal(int exitCode, const char* format, ...) {
    va_list args;
    va_start(args, format);
    vlog(LOG_FATAL, format, args);
    va_end(args);
    std::exit(exitCode);
}

bool openLogFile(const char* path, std::string* problem) {
    closeLogFile();
    // A new file takes the name of the old log. A link there (to a file
    // elsewhere), a folder, pipe or device leaves the log on the console:
    // nothing is ever written through it or put in its place.
    NSFile::NewFile file(path, false);
    const int fd = file.commitOpen();
    logFile = fd >= 0 ? ::fdopen(fd, "w") : nullptr;
    if (fd >= 0 && !logFile)
        ::close(fd);
    if (problem)
        *problem = file.problem();
    return logFile != nullptr;
}

void closeLogFile() {
    if (logFile) {
        std::fclose(logFile);
        logFile = nullptr;
    }
}

void setLogFileMask(unsigned mask) { fileMask = mask; }
void setLogConsoleMask(unsigned mask) { consoleMask = mask; }
unsigned logFileMask() { return fileMask; }
unsigned logConsoleMask() { return consoleMask; }

void outOfMemory() {
    logFatal(1, "ERROR: out of memory\n");
}

std::string latin1ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}
