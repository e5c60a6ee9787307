// Fuzz target for the progress file: the input is "progress.txt", read the
// way the game reads it at start. A file that reads must write and read
// back to the same progress; one that does not must be set aside as it
// was, with the progress fresh.

#include <cstdio>

#include "FuzzSupport.h"
#include "level/Progress.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qbnfuzz::enterScratchFolder(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using qbnfuzz::check;
    // A damaged file never overwrites an earlier one set aside, so the last
    // input's copy goes first: this input's copy must land on ".bad".
    std::remove("progress.txt.bad");
    qbnfuzz::writeInput("progress.txt", data, size);
    NSLevel::Progress progress("progress.txt");
    if (progress.read() != NSLevel::Progress::ReadResult::Read) {
        check(progress.format() == NSLevel::Progress().format(), "a damaged file left progress behind");
        check(qbnfuzz::readBytes("progress.txt.bad") == std::vector<unsigned char>(data, data + size),
              "a damaged file was not set aside as it was");
        return 0;
    }
    check(progress.write(), "progress that was read cannot be written");
    NSLevel::Progress again("progress.txt");
    check(again.read() == NSLevel::Progress::ReadResult::Read && again.format() == progress.format(),
          "written progress does not read back the same");
    return 0;
}
