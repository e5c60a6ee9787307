#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <functional>
#include <string>

#include "FileScratch.h"
#include "persistence/SerialStream.h"
#include "support/LogCapture.h"

using NSSerialize::SerialStream;
using namespace qbntest;

namespace {

class SerialStreamTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.ok()); }
    ScratchDir dir;
    const std::string file = dir.path("stream.bin");
};

TEST_F(SerialStreamTest, ValuesAreStoredLittleEndianAndReadBack) {
    {
        SerialStream out(file, true);
        out.writeInt(0x12345678);
        out.writeFloat(-2.5f);
        out.writeBool(true);
        out.writeBool(2); // only an exact 1 is true on file
        out.writeString("ab");
        out.writeString("");
        out.writeVector3(Vector3(0.0f, 1.0f, -2.5f));
        EXPECT_TRUE(out.close());
    }
    const Bytes expected = cat({{0x78, 0x56, 0x34, 0x12}, {0x00, 0x00, 0x20, 0xC0}, {0x01, 0x00}, str0("ab"), {0},
                                le32(0), le32(0x3F800000), le32(0xC0200000)});
    EXPECT_EQ(readFileBytes(file), expected);

    SerialStream in(file, false);
    EXPECT_EQ(in.readInt(), 0x12345678);
    EXPECT_EQ(in.readFloat(), -2.5f);
    EXPECT_TRUE(in.readBool());
    EXPECT_FALSE(in.readBool());
    EXPECT_EQ(in.readString(), "ab");
    EXPECT_EQ(in.readString(), "");
    EXPECT_EQ(in.readVector3(), Vector3(0.0f, 1.0f, -2.5f));
    EXPECT_FALSE(in.ended());
}

TEST_F(SerialStreamTest, AnyNonZeroBoolIsTrueAndReadsPastTheEndGiveZeros) {
    writeFileBytes(file, {0x02, 0x00, 'x', 'y', 0});
    SerialStream in(file, false);
    EXPECT_TRUE(in.readBool());
    EXPECT_FALSE(in.readBool());
    EXPECT_EQ(in.readString(), "xy");
    EXPECT_FALSE(in.ended());
    EXPECT_EQ(in.readString(), "");
    EXPECT_TRUE(in.ended());
    EXPECT_EQ(in.readInt(), 0);
    EXPECT_FALSE(in.failed()); // a short file is not an error by itself

    SerialStream missing(dir.path("missing.lvl"), false);
    EXPECT_TRUE(missing.failed() && missing.ended());
    EXPECT_EQ(missing.readString(), "");
}

TEST_F(SerialStreamTest, BlocksNestAndKnowTheirLengths) {
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

TEST_F(SerialStreamTest, LengthsAndCountsThatCannotFitFailTheRead) {
    using Read = std::function<bool(SerialStream&)>; // true when the read was refused
    const Read block = [](SerialStream& in) { return in.readBlockEnd() == -1; };
    const Read skip = [](SerialStream& in) { return in.skipBlock() == 0; };
    const Read count = [](SerialStream& in) { return in.readCount(1) == 0; };
    // Held to the enclosing 12-byte block, not just to the file.
    const Read inBlock = [](SerialStream& in) { return in.readBlockEnd() == 12 && in.readCount(4) == 0; };
    const Read innerBlock = [](SerialStream& in) { return in.readBlockEnd() == 12 && in.readBlockEnd() == -1; };
    const struct {
        const char* name;
        Bytes file;
        Read read;
    } cases[] = {
        {"block past the end", cat({le32(1000), le32(0)}), block},
        {"negative block", cat({le32(0x80000000u), le32(0)}), skip},
        {"block shorter than its length", cat({le32(3), le32(0)}), block},
        {"inner block past the outer", cat({le32(12), le32(12), le32(0), le32(0), le32(0)}), innerBlock},
        {"count past the end", cat({le32(5), le32(0)}), count},
        {"negative count", cat({le32(0xFFFFFFFFu), le32(0)}), count},
        {"count past the block", cat({le32(12), le32(2), le32(0), le32(0), le32(0)}), inBlock},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFileBytes(file, c.file);
        LogCapture quiet;
        SerialStream in(file, false);
        EXPECT_TRUE(c.read(in));
        EXPECT_TRUE(in.failed());
        EXPECT_EQ(in.readInt(), 0);
    }
    writeFileBytes(file, cat({le32(2), le32(0), le32(0)}));
    SerialStream fits(file, false);
    EXPECT_EQ(fits.readCount(4), 2); // exactly what is left
}

// Saving is all or nothing: the old file stays until a save succeeds.
TEST_F(SerialStreamTest, OnlyASuccessfulSaveReplacesTheOldFile) {
    const Bytes old = {'o', 'l', 'd'};
    writeFileBytes(file, old);
    struct rlimit limit;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const struct rlimit saved = limit;
    const std::function<void(SerialStream&)> spoilers[] = {
        [](SerialStream& out) { out.fail("object without a record"); },
        [](SerialStream& out) { out.beginBlock(); }, // never closed
        [&](SerialStream& out) { // the disk runs full part way
            limit.rlim_cur = 1000;
            setrlimit(RLIMIT_FSIZE, &limit);
            for (int i = 0; i < 1000; ++i)
                out.writeInt(i);
        },
    };
    struct sigaction ignore = {}, savedAction;
    ignore.sa_handler = SIG_IGN; // the file size limit raises a signal
    ASSERT_EQ(sigaction(SIGXFSZ, &ignore, &savedAction), 0);
    for (const auto& spoil : spoilers) {
        LogCapture log;
        SerialStream out(file, true);
        out.writeInt(42);
        spoil(out);
        const bool closed = out.close();
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_FALSE(closed);
        EXPECT_EQ(readFileBytes(file), old);
        for (const auto& entry : std::filesystem::directory_iterator(dir.path("")))
            EXPECT_FALSE(SerialStream::isTempName(entry.path().filename())) << entry.path();
    }
    sigaction(SIGXFSZ, &savedAction, nullptr);
    // Nowhere to write: reported at once and at close.
    for (const std::string& target : {dir.path("no-such-folder/x.lvl"), dir.path(""), std::string("/dev/full")}) {
        SCOPED_TRACE(target);
        LogCapture log;
        SerialStream out(target, true);
        EXPECT_TRUE(out.failed());
        out.writeString("data");
        EXPECT_FALSE(out.close());
    }
    {
        SerialStream out(file, true);
        out.writeInt(42);
        EXPECT_EQ(readFileBytes(file), old);
    } // the destructor commits
    EXPECT_EQ(readFileBytes(file), le32(42));
}

} // namespace
