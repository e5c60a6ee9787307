#include "persistence/SerialStream.h"

#include <cerrno>
#include <cmath>
#include <cstring>

#include "persistence/LittleEndian.h"
#include "shell/Log.h"
#include "shell/SafeFile.h"

namespace NSSerialize {

SerialStream::SerialStream(const std::string& fileName, bool writing)
    : writing_(writing), version_(kCurrentVersion), fileName_(fileName) {
    if (fileName.empty()) {
        failed_ = ended_ = true;
        log(LOG_ERROR, "SerialStream: no file name given\n");
        return;
    }
    if (writing) {
        // The save goes to a new file beside the target (never through a
        // link); close() renames it over the target.
        out_ = std::make_unique<NSFile::NewFile>(fileName);
        if (!out_->ok()) {
            failed_ = ended_ = true;
            failure_ = out_->problem();
            log(LOG_ERROR, "SerialStream: \"%s\" cannot be saved: %s\n", fileName_.c_str(), out_->problem().c_str());
        }
        return;
    }
    // The whole file is read at once (a regular file only, never through
    // a link); the records are then taken from memory.
    std::string bytes, problem;
    const NSFile::Read read = NSFile::readFile(fileName, bytes, static_cast<size_t>(kMaxFileSize), &problem);
    if (read != NSFile::Read::Whole) {
        failed_ = ended_ = true;
        failure_ = problem;
        log(read == NSFile::Read::Missing ? LOG_RESOURCE : LOG_ERROR, "SerialStream: cannot read \"%s\": %s\n",
            fileName.c_str(), problem.c_str());
        return;
    }
    opened_ = true;
    buffer_.assign(bytes.begin(), bytes.end());
    size_ = static_cast<long>(buffer_.size());
}

SerialStream::SerialStream(InMemory, bool writing, const std::string& bytes)
    : inMemory_(true), writing_(writing), version_(kCurrentVersion), fileName_("(in memory)") {
    if (!writing) {
        buffer_.assign(bytes.begin(), bytes.end());
        size_ = static_cast<long>(buffer_.size());
    }
}

SerialStream::~SerialStream() { close(); }

bool SerialStream::close() {
    if (closed_)
        return !failed_;
    closed_ = true;
    if (inMemory_ && writing_ && !failed_ && !blockStarts_.empty())
        fail("blocks left open at the end of the record");
    if (!out_)
        return !failed_;
    if (!failed_ && !blockStarts_.empty())
        fail("blocks left open at the end of the save");
    // The save is put together in memory and written in one go.
    if (!failed_ && !(out_->write(std::string(buffer_.begin(), buffer_.end())) && out_->commit()))
        fail(out_->problem().c_str());
    out_.reset();
    return !failed_;
}

void SerialStream::fail(const char* reason) {
    failed_ = true;
    if (failureLogged_)
        return;
    failureLogged_ = true;
    failure_ = reason ? reason : "";
    log(LOG_ERROR, "SerialStream: %s \"%s\" failed at byte %ld: %s\n", writing_ ? "writing" : "reading",
        fileName_.c_str(), position_, reason ? reason : "");
}

// --- writing --------------------------------------------------------------

void SerialStream::writeRaw(const std::string& bytes) {
    writeBytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

void SerialStream::writeBytes(const unsigned char* bytes, size_t count) {
    // Nothing to add (an empty string's bytes may not even have an address).
    if (!canWrite() || count == 0)
        return;
    const size_t at = static_cast<size_t>(position_);
    if (at + count > static_cast<size_t>(kMaxFileSize)) {
        fail("save larger than a level may be");
        return;
    }
    if (at + count > buffer_.size())
        buffer_.resize(at + count);
    std::memcpy(buffer_.data() + at, bytes, count);
    position_ += static_cast<long>(count);
    if (position_ > size_)
        size_ = position_;
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

void SerialStream::writeFloat(float value) { writeFloat(value, nullptr, Limits::kAny); }

void SerialStream::writeFloat(float value, const char* field, FieldLimits limits) {
    static_assert(sizeof(float) == 4, "floats are stored as 4 bytes");
    if (!canWrite() || !checkValue(value, field, nullptr, limits))
        return;
    unsigned bits;
    std::memcpy(&bits, &value, 4);
    writeRaw32(bits);
}

void SerialStream::writeVector3(const Vector3& value) { writeVector3(value, nullptr, Limits::kAny); }

void SerialStream::writeVector3(const Vector3& value, const char* field, FieldLimits limits) {
    if (!canWrite() || !checkValue(value.x, field, ".x", limits) || !checkValue(value.y, field, ".y", limits) ||
        !checkValue(value.z, field, ".z", limits))
        return;
    writeFloat(value.x, field, limits);
    writeFloat(value.y, field, limits);
    writeFloat(value.z, field, limits);
}

bool SerialStream::checkValue(float value, const char* field, const char* axis, FieldLimits limits) {
    if (std::isfinite(value) && value >= limits.low && value <= limits.high)
        return true;
    char reason[200];
    std::snprintf(reason, sizeof reason, "%s%s is %g (allowed %g to %g)", field ? field : "a number",
                  axis ? axis : "", static_cast<double>(value), static_cast<double>(limits.low),
                  static_cast<double>(limits.high));
    fail(reason);
    return false;
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
    const size_t left = static_cast<size_t>(size_ - position_);
    if (count > left) {
        // Reading past the end: what is left is used up, the read gives zeros.
        position_ = size_;
        ended_ = true;
        std::memset(bytes, 0, count);
        return false;
    }
    if (count == 0)
        return true;
    std::memcpy(bytes, buffer_.data() + position_, count);
    position_ += static_cast<long>(count);
    return true;
}

unsigned SerialStream::readRaw32() {
    unsigned char bytes[4];
    readBytes(bytes, 4);
    return le32(bytes);
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

float SerialStream::readFloat() { return readFloat(nullptr, Limits::kAny); }

float SerialStream::readFloat(const char* field, FieldLimits limits) {
    if (!canRead())
        return 0.0f;
    unsigned raw = readRaw32();
    float value;
    std::memcpy(&value, &raw, 4);
    if (failed_ || ended_)
        return 0.0f;
    return checkValue(value, field, nullptr, limits) ? value : 0.0f;
}

Vector3 SerialStream::readVector3() { return readVector3(nullptr, Limits::kAny); }

Vector3 SerialStream::readVector3(const char* field, FieldLimits limits) {
    Vector3 value;
    float* axes[3] = {&value.x, &value.y, &value.z};
    const char* names[3] = {".x", ".y", ".z"};
    for (int a = 0; a < 3; ++a) {
        if (!canRead())
            return Vector3();
        unsigned raw = readRaw32();
        std::memcpy(axes[a], &raw, 4);
        if (failed_ || ended_ || !checkValue(*axes[a], field, names[a], limits))
            return Vector3();
    }
    return value;
}

void SerialStream::readString(std::string& value) {
    value.clear();
    if (!canRead())
        return;
    const unsigned char* start = buffer_.data() + position_;
    const size_t left = static_cast<size_t>(size_ - position_);
    const void* terminator = left ? std::memchr(start, 0, left) : nullptr;
    if (!terminator) {
        // No 0 byte before the end: the string runs to the end of the file.
        value.assign(reinterpret_cast<const char*>(start), left);
        position_ = size_;
        ended_ = true;
        return;
    }
    const size_t length = static_cast<size_t>(static_cast<const unsigned char*>(terminator) - start);
    value.assign(reinterpret_cast<const char*>(start), length);
    position_ += static_cast<long>(length + 1);
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

void SerialStream::transfer(float& value, const char* field, FieldLimits limits) {
    if (writing_)
        writeFloat(value, field, limits);
    else
        value = readFloat(field, limits);
}

void SerialStream::transfer(Vector3& value, const char* field, FieldLimits limits) {
    if (writing_)
        writeVector3(value, field, limits);
    else
        value = readVector3(field, limits);
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
    if (!isOpen() || failed_)
        return false;
    if (target < 0 || (!writing_ && target > size_)) {
        fail("position outside the file");
        return false;
    }
    position_ = target;
    return true;
}

} // namespace NSSerialize
