#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <new>
#include <string>
#include <thread>

#include "shell/Log.h"
#include "shell/Timer.h"
#include "support/LogCapture.h"

using qbntest::LogCapture;

TEST(Log, DefaultMasksSendTracesToTheFileOnlyAndErrorsToBoth) {
    LogCapture capture(0xFFFFFFFFu, LOG_FATAL | LOG_ERROR | LOG_INFO);
    testing::internal::CaptureStdout();
    log(LOG_MOUSE, "Mouse Click at: %4i %4i\n", 12, 345);
    log(LOG_ERROR, "broken %d\n", 7);
    std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(console, "broken 7\n");
    EXPECT_EQ(capture.text(), "Mouse Click at:   12  345\nbroken 7\n");
}

TEST(Log, LongMessagesArriveWholeAtBothDestinations) {
    LogCapture capture(0xFFFFFFFFu, LOG_INFO);
    std::string longText(300, 'x');
    testing::internal::CaptureStdout();
    log(LOG_INFO, "<%s>", longText.c_str());
    std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(console, "<" + longText + ">");
    EXPECT_EQ(capture.text(), "<" + longText + ">");
    // Nothing of it leaks into the next message; Latin-1 text leaves as UTF-8.
    log(LOG_INFO, "Flie\xDF" "band \xE4\n");
    EXPECT_EQ(capture.text(), "<" + longText + ">Flie\xC3\x9F" "band \xC3\xA4\n");
}

TEST(Log, OpeningTruncatesAndAnUnopenableFileTurnsFileOutputOff) {
    LogCapture capture;
    log(LOG_INFO, "first run\n");
    openLogFile(capture.filePath().c_str());
    log(LOG_INFO, "second run\n");
    EXPECT_EQ(capture.text(), "second run\n");

    openLogFile("/nonexistent-dir/log.txt");
    testing::internal::CaptureStdout();
    setLogConsoleMask(LOG_INFO);
    log(LOG_INFO, "still on the console\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "still on the console\n");
}

TEST(LogDeathTest, FailedAllocationLogsAndExitsWithOne) {
    EXPECT_EXIT(
        {
            dup2(2, 1); // the console, where the death test looks
            setLogConsoleMask(LOG_FATAL);
            std::set_new_handler(outOfMemory);
            void* volatile p = ::operator new(static_cast<size_t>(1) << 62);
            (void)p;
        },
        testing::ExitedWithCode(1), "ERROR: out of memory");
}

TEST(Timer, ReadingsAreCappedAndLapStartsANewInterval) {
    Timer timer(false, 0.01f);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FLOAT_EQ(timer.peek(), 0.01f);
    EXPECT_FLOAT_EQ(timer.lap(), 0.01f);
    // The lap restarted the interval, so an immediate reading is far below the cap.
    EXPECT_LT(timer.peek(), 0.01f);

    Timer slow(false, 100.0f);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    float first = slow.peek();
    EXPECT_GE(first, 0.019f);
    EXPECT_LT(first, 5.0f);
    EXPECT_GE(slow.peek(), first); // peek does not restart
}
