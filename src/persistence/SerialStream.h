#pragma once
// The binary record stream under the level and scene files.
//
// On file everything is little-endian with no padding: bool 1 byte, int and
// float 4 bytes, Vector3 three floats, strings their bytes plus one 0 byte.
// A block is an int length followed by its content; the length counts from
// the length field's own first byte, so an empty block is the int 4.
//
// Failures are sticky and never thrown: once a stream has failed (or a
// reader has run past the end of the file) every read yields zeros and
// every write does nothing, so loops driven by counts read from the file
// come to an end by themselves.
//
// Saves are all-or-nothing. A writing stream fills a new file
// "<name>.tmp-XXXXXX" beside <name> (created exclusively, so never through a
// link) and only a successful close() renames it over <name>; a stream that
// failed removes the temporary file and leaves an existing <name> as it was.
// Readers open only regular files, never through a link.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "math/Vector3.h"
#include "shell/SafeFile.h"

namespace NSSerialize {

// The range a number in a file must lie in for the game to use it. Every
// float read or written is checked: NaN, infinities and values outside the
// range fail the stream with a message naming the field, so a damaged file
// is refused whole (the scene stays as it was) and a scene holding such a
// value is not saved over a good file.
struct FieldLimits {
    float low;
    float high;
};

namespace Limits {
// Any number the game keeps (speeds, forces, masses, counters as floats).
constexpr FieldLimits kAny{-1.0e9f, 1.0e9f};
// Points in the scene: a default room is 200 units wide.
constexpr FieldLimits kPosition{-1.0e5f, 1.0e5f};
// Angles in radians; turning stays exact enough far beyond a full turn.
constexpr FieldLimits kRotation{-1.0e6f, 1.0e6f};
// Lengths, radii and half sizes.
constexpr FieldLimits kSize{0.0f, 1.0e5f};
// A node's scale factor: zero or less would leave nothing to draw or hit.
constexpr FieldLimits kScale{1.0e-3f, 1.0e3f};
// Colour channels and opacity.
constexpr FieldLimits kColour{0.0f, 1.0f};
} // namespace Limits

class SerialStream {
public:
    // The only format version this program reads and writes.
    static constexpr const char* kCurrentVersion = "1.0";
    // Reading blocks nested deeper than this is taken for a damaged file;
    // it keeps recursive readers from running out of stack.
    static constexpr int kMaxReadDepth = 256;
    // Files are read and written whole in memory; larger ones are refused.
    static constexpr long kMaxFileSize = 256L << 20;
    // Object ids a file may hold: 1 to this. Others, and an id held twice,
    // are given new ids as the file is read (see renumberedIds).
    static constexpr int kMaxNodeId = 99999999;

    // Opens fileName for writing or reading. A file that cannot be opened
    // leaves the stream failed and ended from the start.
    SerialStream(const std::string& fileName, bool writing);
    // A stream in memory that touches no file: a writer whose record
    // memoryBytes() then holds, or a reader of the given bytes.
    struct InMemory {};
    SerialStream(InMemory, bool writing, const std::string& bytes = std::string());
    ~SerialStream();

    // Removes what saves interrupted by a crash left in folder (temporary
    // files and links under their names) and returns how many. For start-up.
    static int removeStaleTempFiles(const std::string& folder) { return NSFile::removeStaleTemps(folder); }
    // Whether a file name is one a save uses for its temporary file.
    static bool isTempName(const std::string& name) { return NSFile::isTempName(name); }
    SerialStream(const SerialStream&) = delete;
    SerialStream& operator=(const SerialStream&) = delete;

    // Finishes the stream and returns whether everything went right. A
    // writer flushes and commits its file, or discards it if anything
    // failed. Later calls return the same answer; the destructor calls it.
    bool close();
    // The bytes a stream in memory holds (what was written, or read from).
    std::string memoryBytes() const { return std::string(buffer_.begin(), buffer_.end()); }

    bool isWriting() const { return writing_; }
    bool isReading() const { return !writing_; }
    bool failed() const { return failed_; }
    bool ended() const { return ended_; }
    const std::string& fileName() const { return fileName_; }

    std::string version() const { return version_; }
    void setVersion(const std::string& version) { version_ = version; }
    // Records are read and written only under the current version.
    bool isCurrentVersion() const { return version_ == kCurrentVersion; }

    // Marks the stream failed and logs why (once per stream). For readers
    // that find values no writer could have produced.
    void fail(const char* reason);
    // The first reason the stream failed for ("" while it has not).
    const std::string& failureReason() const { return failure_; }

    // Takes an int so that flag fields holding other values than 0 and 1
    // are written as the format wants: 1 only for exactly 1, else 0.
    void writeBool(int value);
    void writeInt(int value);
    void writeFloat(float value);
    void writeVector3(const Vector3& value);
    void writeString(const std::string& value);
    // Bytes as they are, such as a whole record copied from another file.
    void writeRaw(const std::string& bytes);

    bool readBool();
    int readInt();
    float readFloat();
    Vector3 readVector3();
    // Reads up to and including the next 0 byte, or to the end of the file.
    void readString(std::string& value);
    std::string readString();

    // Reads or writes value, by the stream's direction. Floats without a
    // field name are checked against Limits::kAny.
    void transfer(bool& value);
    void transfer(int& value);
    void transfer(float& value);
    void transfer(Vector3& value);
    void transfer(std::string& value);

    // The same for a named field with its own limits. A value outside them
    // fails the stream, names the field and, when reading, reads as 0.
    void transfer(float& value, const char* field, FieldLimits limits);
    void transfer(Vector3& value, const char* field, FieldLimits limits);
    float readFloat(const char* field, FieldLimits limits);
    Vector3 readVector3(const char* field, FieldLimits limits);
    void writeFloat(float value, const char* field, FieldLimits limits);
    void writeVector3(const Vector3& value, const char* field, FieldLimits limits);

    // Writing: opens a block (a placeholder length) and closes the innermost
    // open block by filling in its length, which endBlock also returns.
    void beginBlock();
    int endBlock();

    // Reading: the raw length field of a block.
    int readBlockLength();
    // Reading: reads the length field that starts at position p and returns
    // p + length, the position just past the block. A length that cannot be
    // right (below 4, or reaching past the enclosing block or the file)
    // fails the stream and gives -1; so does nesting deeper than
    // kMaxReadDepth. -1 also when the file ended before the length.
    long readBlockEnd();
    // Reading: leaves a block opened with readBlockEnd. Moves to blockEnd if
    // its record stopped short of it; a record that read past it means the
    // file does not match its readers, and fails the stream.
    void leaveBlock(long blockEnd);
    // Reading: steps over the whole block whose length field comes next and
    // returns its length, or 0 when nothing was done. A length that cannot
    // be right fails the stream instead.
    int skipBlock();
    // Reading: an element count. A negative count, or one whose elements
    // (at least minBytesPerElement each) could not fit in the rest of the
    // enclosing block or file, fails the stream and gives 0.
    int readCount(int minBytesPerElement);

    // Byte offset in the file, the file's size as measured when it was
    // opened for reading, and the bytes between the two.
    long position() const { return position_; }
    long size() const { return size_; }
    long remaining() const { return size_ > position_ ? size_ - position_ : 0; }

    // Reading: elements stepped over because their class could not be made.
    void noteSkipped() { ++skipped_; }
    int skippedCount() const { return skipped_; }
    // Reading: the object ids of the file that were out of range and got
    // new ones, old to new (filled by the scene's reader), and an id of the
    // file as the objects now carry it.
    std::map<int, int>& renumberedIds() { return renumbered_; }
    int currentId(int fileId) const {
        auto it = renumbered_.find(fileId);
        return it == renumbered_.end() ? fileId : it->second;
    }

private:
    bool isOpen() const { return opened_ || out_ || inMemory_; }
    bool canWrite() const { return isOpen() && writing_ && !failed_; }
    bool canRead() const { return isOpen() && !writing_ && !failed_ && !ended_; }
    void writeBytes(const unsigned char* bytes, size_t count);
    // Fills bytes completely or yields false (and zeros).
    bool readBytes(unsigned char* bytes, size_t count);
    void writeRaw32(unsigned value);
    unsigned readRaw32();
    bool seekTo(long target);
    // False (and the stream failed, the field named) for a value outside limits.
    bool checkValue(float value, const char* field, const char* axis, FieldLimits limits);
    // The end of the innermost read block that still encloses the position,
    // or the file size; forgets blocks the position has left.
    long enclosingEnd();

    // The new file a save fills, renamed over the target by close().
    std::unique_ptr<NSFile::NewFile> out_;
    // A file was read into the buffer.
    bool opened_ = false;
    bool inMemory_ = false;
    bool writing_;
    std::string version_;
    bool failed_ = false;
    bool ended_ = false;
    std::vector<long> blockStarts_;
    // The whole file: read at opening, or put together until close().
    std::vector<unsigned char> buffer_;
    std::vector<long> readBlockEnds_;
    std::string fileName_;
    long position_ = 0;
    long size_ = 0;
    bool closed_ = false;
    bool failureLogged_ = false;
    std::string failure_;
    int skipped_ = 0;
    std::map<int, int> renumbered_;
};

} // namespace NSSerialize
