#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <string>

#include "FileScratch.h"
#include "persistence/SerialStream.h"
#include "support/LogCapture.h"

using NSSerialize::SerialStream;
using qbntest::Bytes;
using qbntest::cat;
using qbntest::fileExists;
using qbntest::le32;
using qbntest::readFileBytes;
using qbntest::str0;
using qbntest::writeFileBytes;

namespace {

class SerialStreamTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.ok()); }
    std::string path(const std::string& name) const { return dir.path(name); }

    qbntest::ScratchDir dir;
};

TEST_F(SerialStreamTest, ValuesAreStoredLittleEndianAndReadBack) {
    const std::string file = path("values.bin");
    {
        SerialStream out(file, true);
        out.writeInt(0x12345678);
        out.writeInt(-2);
        out.writeFloat(-2.5f);
        out.writeBool(true);
        out.writeBool(2); // only an exact 1 is true on file
        out.writeString("ab");
        out.writeString("");
        out.writeVector3(Vector3(0.0f, 1.0f, -2.5f));
        std::string text = "W\xFCrfel";
        out.transfer(text);
        EXPECT_TRUE(out.close());
    }
    const Bytes expected = cat({{0x78, 0x56, 0x34, 0x12}, {0xFE, 0xFF, 0xFF, 0xFF}, {0x00, 0x00, 0x20, 0xC0},
                                {0x01, 0x00}, str0("ab"), str0(""), le32(0), le32(0x3F800000), le32(0xC0200000),
                                str0("W\xFCrfel")});
    EXPECT_EQ(readFileBytes(file), expected);

    SerialStream in(file, false);
    EXPECT_EQ(in.size(), static_cast<long>(expected.size()));
    EXPECT_EQ(in.readInt(), 0x12345678);
    EXPECT_EQ(in.readInt(), -2);
    float real = 0;
    in.transfer(real);
    EXPECT_EQ(real, -2.5f);
    EXPECT_TRUE(in.readBool());
    EXPECT_FALSE(in.readBool());
    EXPECT_EQ(in.readString(), "ab");
    EXPECT_EQ(in.readString(), "");
    EXPECT_EQ(in.readVector3(), Vector3(0.0f, 1.0f, -2.5f));
    EXPECT_EQ(in.readString(), "W\xFCrfel");
    EXPECT_FALSE(in.ended());
    EXPECT_TRUE(in.close());
}

TEST_F(SerialStreamTest, AnyNonZeroBoolByteReadsAsTrue) {
    writeFileBytes(path("bools.bin"), {0x02, 0x00, 0xFF});
    SerialStream in(path("bools.bin"), false);
    EXPECT_TRUE(in.readBool());
    EXPECT_FALSE(in.readBool());
    EXPECT_TRUE(in.readBool());
}

TEST_F(SerialStreamTest, ReadsPastTheEndYieldZerosAndSetEnded) {
    const std::string file = path("short.bin");
    writeFileBytes(file, cat({str0("abc"), {'x', 'y'}}));
    SerialStream in(file, false);
    EXPECT_EQ(in.readString(), "abc");
    EXPECT_EQ(in.readString(), "xy"); // cut off by the end, but kept
    EXPECT_TRUE(in.ended());
    std::string text = "stale";
    in.readString(text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(in.readInt(), 0);
    EXPECT_EQ(in.readVector3(), Vector3(0, 0, 0));
    EXPECT_FALSE(in.failed()); // a short file is not an error by itself

    writeFileBytes(file, {0x01, 0x02});
    SerialStream cut(file, false);
    EXPECT_EQ(cut.readInt(), 0);
    EXPECT_TRUE(cut.ended());
}

TEST_F(SerialStreamTest, BlocksNestAndKnowTheirLengths) {
    const std::string file = path("blocks.bin");
    {
        SerialStream out(file, true);
        out.beginBlock();
        EXPECT_EQ(out.endBlock(), 4); // empty
        out.beginBlock();
        out.writeInt(1);
        out.beginBlock();
        out.writeString("xy");
        EXPECT_EQ(out.endBlock(), 7);
        EXPECT_EQ(out.endBlock(), 15);
        EXPECT_EQ(out.endBlock(), 0); // none open
        out.writeInt(2);
        ASSERT_TRUE(out.close());
    }
    EXPECT_EQ(readFileBytes(file), cat({le32(4), le32(15), le32(1), le32(7), str0("xy"), le32(2)}));

    SerialStream in(file, false);
    EXPECT_EQ(in.skipBlock(), 4);
    long outer = in.readBlockEnd();
    EXPECT_EQ(outer, 4 + 15);
    EXPECT_EQ(in.readInt(), 1);
    EXPECT_EQ(in.readBlockEnd(), 8 + 4 + 7);
    in.leaveBlock(outer); // what is left of the inner block is stepped over
    EXPECT_EQ(in.readInt(), 2);
    EXPECT_FALSE(in.failed());
}

TEST_F(SerialStreamTest, BlockLengthsThatCannotBeRightFailTheRead) {
    const std::pair<const char*, Bytes> cases[] = {
        {"past the end of the file", cat({le32(1000), le32(0)})},
        {"negative", cat({le32(0xFFFFFFF0u), le32(0)})},
        {"most negative", cat({le32(0x80000000u), le32(0)})},
        {"zero", cat({le32(0), le32(0)})},
        {"shorter than the length field", cat({le32(3), le32(0)})},
    };
    const std::string file = path("block.bin");
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        writeFileBytes(file, bytes);
        qbntest::LogCapture log;
        SerialStream skipping(file, false);
        EXPECT_EQ(skipping.skipBlock(), 0);
        EXPECT_TRUE(skipping.failed());
        EXPECT_EQ(skipping.readInt(), 0);
        SerialStream entering(file, false);
        EXPECT_EQ(entering.readBlockEnd(), -1);
        EXPECT_TRUE(entering.failed());
        EXPECT_NE(log.text().find("block length"), std::string::npos);
    }
}

TEST_F(SerialStreamTest, AnInnerBlockMustFitInItsOuterBlock) {
    const std::string file = path("inner.bin");
    // An outer block of 12 bytes whose inner block claims 12 of the 8 left;
    // the file itself would have room.
    writeFileBytes(file, cat({le32(12), le32(12), le32(0), le32(0), le32(0)}));
    SerialStream in(file, false);
    EXPECT_EQ(in.readBlockEnd(), 12);
    EXPECT_EQ(in.readBlockEnd(), -1);
    EXPECT_TRUE(in.failed());
}

TEST_F(SerialStreamTest, CountsThatTheRestCannotHoldFailTheRead) {
    const std::string file = path("counts.bin");
    writeFileBytes(file, cat({le32(4), le32(0), le32(0), le32(0), le32(0)}));
    SerialStream fits(file, false);
    EXPECT_EQ(fits.readCount(4), 4);
    EXPECT_FALSE(fits.failed());
    SerialStream tooMany(file, false);
    EXPECT_EQ(tooMany.readCount(5), 0);
    EXPECT_TRUE(tooMany.failed());
    // Held to the enclosing block, not just to the file.
    writeFileBytes(file, cat({le32(8), le32(5), le32(0), le32(0)}));
    SerialStream inBlock(file, false);
    inBlock.readBlockEnd();
    EXPECT_EQ(inBlock.readCount(1), 0);
    EXPECT_TRUE(inBlock.failed());

    for (unsigned count : {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u}) {
        SCOPED_TRACE(count);
        writeFileBytes(file, cat({le32(count), le32(0)}));
        SerialStream in(file, false);
        EXPECT_EQ(in.readCount(1), 0);
        EXPECT_TRUE(in.failed());
    }
}

TEST_F(SerialStreamTest, AFileThatCannotBeOpenedIsFailedAndEndedFromTheStart) {
    const std::string folder = path("folder.lvl");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    for (const std::string& name : {path("missing.lvl"), folder, std::string()}) {
        SCOPED_TRACE(name);
        SerialStream in(name, false);
        EXPECT_TRUE(in.failed());
        EXPECT_TRUE(in.ended());
        EXPECT_EQ(in.readString(), "");
        EXPECT_EQ(in.skipBlock(), 0);
        EXPECT_FALSE(in.close());
    }
    EXPECT_FALSE(fileExists(path("missing.lvl")));
}

// ---------------------------------------------------------------------------
// Saving is all-or-nothing

TEST_F(SerialStreamTest, ASaveReplacesTheOldFileOnlyWhenItIsClosed) {
    const std::string file = path("scene.lvs");
    writeFileBytes(file, {'o', 'l', 'd'});
    {
        SerialStream out(file, true);
        out.writeInt(42);
        EXPECT_EQ(readFileBytes(file), (Bytes{'o', 'l', 'd'}));
    } // the destructor commits
    EXPECT_EQ(readFileBytes(file), le32(42));
    EXPECT_FALSE(fileExists(file + ".tmp"));
}

TEST_F(SerialStreamTest, AFailedSaveKeepsTheOldFileAndLeavesNoTemporaryFile) {
    const std::string file = path("scene.lvs");
    const Bytes old = {'o', 'l', 'd'};
    writeFileBytes(file, old);
    {
        qbntest::LogCapture log;
        SerialStream out(file, true);
        out.writeInt(42);
        out.fail("object without a record");
        EXPECT_FALSE(out.close());
        EXPECT_FALSE(out.close()); // asked again, the same answer
        EXPECT_NE(log.text().find("object without a record"), std::string::npos);
    }
    {
        SerialStream out(file, true);
        out.beginBlock(); // never closed: the length would stay 0
        EXPECT_FALSE(out.close());
    }
    EXPECT_EQ(readFileBytes(file), old);
    EXPECT_FALSE(fileExists(file + ".tmp"));
}

TEST_F(SerialStreamTest, SavingWhereNoFileCanBeMadeReportsFailure) {
    const std::string folder = path("levels");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    for (const std::string& target : {path("no-such-folder/x.lvl"), folder, std::string("/dev/full")}) {
        SCOPED_TRACE(target);
        SerialStream out(target, true);
        EXPECT_TRUE(out.failed());
        out.writeString("data");
        EXPECT_FALSE(out.close());
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST_F(SerialStreamTest, AWriteErrorPartWayKeepsTheOldFile) {
    // The disk runs full during the save: a file size limit makes the
    // writes fail (the signal it raises is ignored).
    const std::string file = path("full.lvl");
    const Bytes old = {'k', 'e', 'e', 'p'};
    writeFileBytes(file, old);
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct sigaction ignore = {}, savedAction;
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(sigaction(SIGXFSZ, &ignore, &savedAction), 0);
    bool failedWhileWriting, closed;
    {
        SerialStream out(file, true);
        struct rlimit small = saved;
        small.rlim_cur = 1000;
        setrlimit(RLIMIT_FSIZE, &small);
        for (int i = 0; i < 10000; ++i)
            out.writeInt(i);
        failedWhileWriting = out.failed();
        closed = out.close();
        setrlimit(RLIMIT_FSIZE, &saved);
    }
    sigaction(SIGXFSZ, &savedAction, nullptr);
    EXPECT_TRUE(failedWhileWriting);
    EXPECT_FALSE(closed);
    EXPECT_EQ(readFileBytes(file), old);
    EXPECT_FALSE(fileExists(file + ".tmp"));
}

} // namespace
