#include "persistence/SerialStream.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/Log.h"

namespace NSSerialize {

namespace {

bool isRegularFile(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

} // namespace

SerialStream::SerialStream(const std::string& fileName, bool writing)
    : writing_(writing), version_(kCurrentVersion), fileName_(fileName) {
    if (fileName.empty()) {
        failed_ = ended_ = true;
        log(LOG_ERROR, "SerialStream: no file name given\n");
        return;
    }
    if (writing) {
        // Replacing anything but a plain file (a folder, a device) is
        // refused before a temporary file is made beside it.
        if (exists(fileName) && !isRegularFile(fileName)) {
            failed_ = ended_ = true;
            log(LOG_ERROR, "SerialStream: \"%s\" is not a plain file, not saved\n", fileName.c_str());
            return;
        }
        tempName_ = fileName + ".tmp";
        file_ = std::fopen(tempName_.c_str(), "wb");
        if (!file_) {
            failed_ = ended_ = true;
            log(LOG_ERROR, "SerialStream: cannot create \"%s\" (%s)\n", tempName_.c_str(), std::strerror(errno));
        }
        return;
    }
    // Only plain files are read: a folder reads as garbage, a pipe would
    // block the game until someone writes into it.
    if (!isRegularFile(fileName)) {
        failed_ = ended_ = true;
        log(LOG_RESOURCE, "SerialStream: cannot read \"%s\"\n", fileName.c_str());
        return;
    }
    file_ = std::fopen(fileName.c_str(), "rb");
    struct stat info;
    if (!file_ || ::fstat(fileno(file_), &info) != 0 || !S_ISREG(info.st_mode)) {
        if (file_)
            std::fclose(file_);
        file_ = nullptr;
        failed_ = ended_ = true;
        log(LOG_RESOURCE, "SerialStream: cannot read \"%s\"\n", fileName.c_str());
        return;
    }
    size_ = static_cast<long>(info.st_size);
}

SerialStream::~SerialStream() { close(); }

void SerialStream::discardTemp() {
    if (!tempName_.empty())
        std::remove(tempName_.c_str());
}

bool SerialStream::close() {
    if (closed_)
        return !failed_;
    closed_ = true;
    if (!file_)
        return !failed_;
    std::FILE* file = file_;
    file_ = nullptr;
    if (!writing_) {
        std::fclose(file);
        return !failed_;
    }
    if (!failed_ && !blockStarts_.empty())
        fail("blocks left open at the end of the save");
    if (!failed_ && (std::fflush(file) != 0 || std::ferror(file) || ::fsync(fileno(file)) != 0))
        fail(std::strerror(errno));
    if (std::fclose(file) != 0 && !failed_)
        fail(std::strerror(errno));
    if (!failed_ && std::rename(tempName_.c_str(), fileName_.c_str()) != 0)
        fail(std::strerror(errno));
    if (failed_)
        discardTemp();
    return !failed_;
}

void SerialStream::fail(const char* reason) {
    failed_ = true;
    if (failureLogged_)
        return;
    failureLogged_ = true;
    log(LOG_ERROR, "SerialStream: %s \"%s\" failed at byte %ld: %s\n", writing_ ? "writing" : "reading",
        fileName_.c_str(), position_, reason ? reason : "");
}

// --- writing --------------------------------------------------------------

void SerialStream::writeRaw(const std::string& bytes) {
    writeBytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

void SerialStream::writeBytes(const unsigned char* bytes, size_t count) {
    if (!canWrite())
        return;
    size_t written = std::fwrite(bytes, 1, count, file_);
    position_ += static_cast<long>(written);
    if (position_ > size_)
        size_ = position_;
    if (written != count || std::ferror(file_))
        fail(std::strerror(errno));
}

void SerialStream::writeRaw32(unsigned value) {
    unsigned char bytes[4] = {
        static_cast<unsigned char>(value & 0xFFu),
        static_cast<unsigned char>((value >> 8) & 0xFFu),
        static_cast<unsigned char>((value >> 16) & 0xFFu),
        static_cast<unsigned char>((value >> 24) & 0xFFu),
    };
    writeBytes(bytes, 4);
}

void SerialStream::writeBool(int value) {
    // Only an exact 1 counts as true on file; anything else, such as a flag
    // field that was never set, is written as 0.
    unsigned char byte = value == 1 ? 1 : 0;
    writeBytes(&byte, 1);
}

void SerialStream::writeInt(int value) { writeRaw32(static_cast<unsigned>(value)); }

void SerialStream::writeFloat(float value) {
    static_assert(sizeof(float) == 4, "floats are stored as 4 bytes");
    unsigned bits;
    std::memcpy(&bits, &value, 4);
    writeRaw32(bits);
}

void SerialStream::writeVector3(const Vector3& value) {
    writeFloat(value.x);
    writeFloat(value.y);
    writeFloat(value.z);
}

void SerialStream::writeString(const std::string& value) {
    // Bytes after an embedded 0 could not be told apart from the next field.
    size_t length = value.find('\0');
    if (length == std::string::npos)
        length = value.size();
    writeBytes(reinterpret_cast<const unsigned char*>(value.data()), length);
    unsigned char terminator = 0;
    writeBytes(&terminator, 1);
}

void SerialStream::beginBlock() {
    if (!canWrite())
        return;
    blockStarts_.push_back(position_);
    writeRaw32(0);
}

int SerialStream::endBlock() {
    if (!canWrite() || blockStarts_.empty())
        return 0;
    long end = position_;
    long start = blockStarts_.back();
    blockStarts_.pop_back();
    long length = end - start;
    if (length > 0x7FFFFFFFL) {
        fail("block longer than 2 GiB");
        return 0;
    }
    if (!seekTo(start))
        return 0;
    writeRaw32(static_cast<unsigned>(length));
    if (!seekTo(end))
        return 0;
    return static_cast<int>(length);
}

// --- reading --------------------------------------------------------------

bool SerialStream::readBytes(unsigned char* bytes, size_t count) {
    if (!canRead()) {
        std::memset(bytes, 0, count);
        return false;
    }
    size_t got = std::fread(bytes, 1, count, file_);
    position_ += static_cast<long>(got);
    if (std::ferror(file_))
        fail(std::strerror(errno));
    if (std::feof(file_))
        ended_ = true;
    if (got != count) {
        std::memset(bytes, 0, count);
        return false;
    }
    return true;
}

unsigned SerialStream::readRaw32() {
    unsigned char bytes[4];
    readBytes(bytes, 4);
    return static_cast<unsigned>(bytes[0]) | (static_cast<unsigned>(bytes[1]) << 8) |
           (static_cast<unsigned>(bytes[2]) << 16) | (static_cast<unsigned>(bytes[3]) << 24);
}

bool SerialStream::readBool() {
    unsigned char byte = 0;
    readBytes(&byte, 1);
    return byte != 0;
}

int SerialStream::readInt() {
    unsigned raw = readRaw32();
    int value;
    std::memcpy(&value, &raw, 4);
    return value;
}

float SerialStream::readFloat() {
    unsigned raw = readRaw32();
    float value;
    std::memcpy(&value, &raw, 4);
    return value;
}

Vector3 SerialStream::readVector3() {
    float x = readFloat();
    float y = readFloat();
    float z = readFloat();
    return Vector3(x, y, z);
}

void SerialStream::readString(std::string& value) {
    value.clear();
    unsigned char byte;
    while (readBytes(&byte, 1) && byte != 0)
        value.push_back(static_cast<char>(byte));
}

std::string SerialStream::readString() {
    std::string value;
    readString(value);
    return value;
}

void SerialStream::transfer(bool& value) {
    if (writing_)
        writeBool(value);
    else
        value = readBool();
}

void SerialStream::transfer(int& value) {
    if (writing_)
        writeInt(value);
    else
        value = readInt();
}

void SerialStream::transfer(float& value) {
    if (writing_)
        writeFloat(value);
    else
        value = readFloat();
}

void SerialStream::transfer(Vector3& value) {
    if (writing_)
        writeVector3(value);
    else
        value = readVector3();
}

void SerialStream::transfer(std::string& value) {
    if (writing_)
        writeString(value);
    else
        readString(value);
}

int SerialStream::readBlockLength() { return readInt(); }

long SerialStream::enclosingEnd() {
    while (!readBlockEnds_.empty() && readBlockEnds_.back() <= position_)
        readBlockEnds_.pop_back();
    return readBlockEnds_.empty() ? size_ : readBlockEnds_.back();
}

long SerialStream::readBlockEnd() {
    if (!canRead())
        return -1;
    long limit = enclosingEnd();
    long start = position_;
    long length = readInt();
    if (failed_ || ended_)
        return -1;
    if (length < 4 || length > limit - start) {
        fail("block length does not fit in the file");
        return -1;
    }
    if (static_cast<int>(readBlockEnds_.size()) >= kMaxReadDepth) {
        fail("blocks nested too deeply");
        return -1;
    }
    readBlockEnds_.push_back(start + length);
    return start + length;
}

void SerialStream::leaveBlock(long blockEnd) {
    if (!canRead() || blockEnd < 0)
        return;
    if (position_ > blockEnd) {
        fail("record reaches past the end of its block");
        return;
    }
    seekTo(blockEnd);
    enclosingEnd();
}

int SerialStream::skipBlock() {
    if (!canRead())
        return 0;
    long limit = enclosingEnd();
    long start = position_;
    int length = readInt();
    if (failed_ || ended_)
        return 0;
    if (length < 4 || length > limit - start) {
        fail("block length does not fit in the file");
        return 0;
    }
    if (!seekTo(start + length))
        return 0;
    return length;
}

int SerialStream::readCount(int minBytesPerElement) {
    if (!canRead())
        return 0;
    long limit = enclosingEnd();
    int count = readInt();
    if (failed_ || ended_)
        return 0;
    long long perElement = minBytesPerElement < 1 ? 1 : minBytesPerElement;
    long long room = limit > position_ ? limit - position_ : 0;
    if (count < 0 || count * perElement > room) {
        fail("element count does not fit in the file");
        return 0;
    }
    return count;
}

bool SerialStream::seekTo(long target) {
    if (!file_ || failed_)
        return false;
    if (target < 0 || (!writing_ && target > size_)) {
        fail("position outside the file");
        return false;
    }
    if (target == position_)
        return true;
    if (std::fseek(file_, target, SEEK_SET) != 0) {
        fail(std::strerror(errno));
        return false;
    }
    position_ = target;
    return true;
}

} // namespace NSSerialize
