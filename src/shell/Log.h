#pragma once
// The process-wide diagnostic log: printf-style messages, each with a level
// bit, written to the console and to "log.txt" when the destination's mask
// shares a bit with the level. Text inside the game is Latin-1; it is turned
// into UTF-8 on the way out.

#include <string>
#include <string_view>

enum LogLevel : unsigned {
    LOG_FATAL = 0x1,
    LOG_ERROR = 0x2,
    LOG_INFO = 0x4,
    LOG_MOUSE = 0x10,
    LOG_KEY = 0x20,
    LOG_GAME = 0x40,
    LOG_RESOURCE = 0x80,
    LOG_HITTEST = 0x100,
};

// Formats like printf. Short messages use one fixed buffer, longer ones a heap
// buffer of the exact size, so nothing is ever cut. Not reentrant.
void log(unsigned level, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Logs at the fatal level and ends the process with exitCode.
[[noreturn]] void logFatal(int exitCode, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Closes the current log file and starts a new one at path (replacing what
// is there, never writing through a link); false (with the problem) when
// it cannot, and file output stays off.
bool openLogFile(const char* path, std::string* problem = nullptr);
void closeLogFile();
void setLogFileMask(unsigned mask);
void setLogConsoleMask(unsigned mask);
unsigned logFileMask();
unsigned logConsoleMask();

// The handler for failed allocations: "ERROR: out of memory", exit code 1.
[[noreturn]] void outOfMemory();

// Latin-1 bytes to UTF-8, for text that leaves the program.
std::string latin1ToUtf8(std::string_view text);
