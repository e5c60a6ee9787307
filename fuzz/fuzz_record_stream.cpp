// Fuzz target for the record stream: reads arbitrary bytes as a version
// string followed by a list of elements, the way the scene reader meets a
// damaged file. Nothing may crash, hang, leak or allocate without bound.
// Whatever was read without failure must also survive a write and a second
// read unchanged.
//
// Built with clang it is a libFuzzer target; with QBN_FUZZ_REPLAY it gets a
// plain main that replays the files named on the command line.

#include <stdint.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "persistence/RecordIO.h"
#include "persistence/Serializeable.h"

using NSSerialize::readList;
using NSSerialize::SerialStream;
using NSSerialize::Serializeable;
using NSSerialize::writeList;

namespace {

enum : int { ID_LEAF = 9101, ID_SHELF = 9102, ID_OUTSIDER = 9103 };

int alive = 0;

class FuzzItem : public Serializeable {
public:
    FuzzItem() { ++alive; }
    ~FuzzItem() override { --alive; }
    // A description of everything read, to compare two reads by.
    virtual void describe(std::string& out) const = 0;
};

void appendBits(std::string& out, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    out += std::to_string(bits);
    out += ',';
}

class FuzzLeaf : public FuzzItem {
public:
    explicit FuzzLeaf(bool) {}
    int classId() const override { return ID_LEAF; }
    void serialize(SerialStream& s) override {
        FuzzItem::serialize(s);
        if (!s.isCurrentVersion())
            return;
        s.transfer(number);
        s.transfer(real);
        s.transfer(flag);
        s.transfer(point);
        s.transfer(text);
    }
    void describe(std::string& out) const override {
        out += "leaf(" + std::to_string(number) + ',';
        appendBits(out, real);
        out += flag ? "t," : "f,";
        appendBits(out, point.x);
        appendBits(out, point.y);
        appendBits(out, point.z);
        out += text + ")";
    }

private:
    int number = 0;
    float real = 0.0f;
    bool flag = false;
    Vector3 point;
    std::string text;
};

class FuzzShelf : public FuzzItem {
public:
    explicit FuzzShelf(bool) {}
    ~FuzzShelf() override {
        for (FuzzItem* item : items)
            delete item;
        for (FuzzItem* item : more)
            delete item;
    }
    int classId() const override { return ID_SHELF; }
    void serialize(SerialStream& s) override {
        FuzzItem::serialize(s);
        if (!s.isCurrentVersion())
            return;
        s.transfer(label);
        if (s.isWriting()) {
            writeList(s, "[fzL]", "[fzO]", items);
            writeList(s, "[f2L]", "[f2O]", more);
        } else {
            readList<FuzzItem>(s, [this](FuzzItem* item) { items.push_back(item); });
            readList<FuzzItem>(s, [this](FuzzItem* item) { more.push_back(item); });
        }
    }
    void describe(std::string& out) const override {
        out += "shelf(" + label;
        for (const FuzzItem* item : items)
            item->describe(out);
        out += '|';
        for (const FuzzItem* item : more)
            item->describe(out);
        out += ')';
    }

private:
    std::string label;
    std::vector<FuzzItem*> items;
    std::vector<FuzzItem*> more;
};

// Saveable, but not a FuzzItem: lists must skip it.
class FuzzOutsider : public Serializeable {
public:
    explicit FuzzOutsider(bool) { ++alive; }
    ~FuzzOutsider() override { --alive; }
    int classId() const override { return ID_OUTSIDER; }
    void serialize(SerialStream& s) override { s.transfer(value); }

private:
    int value = 0;
};

} // namespace

QBN_REGISTER_CLASS(ID_LEAF, FuzzLeaf)
QBN_REGISTER_CLASS(ID_SHELF, FuzzShelf)
QBN_REGISTER_CLASS(ID_OUTSIDER, FuzzOutsider)

namespace {

std::string& scratchName() {
    static std::string path;
    return path;
}

void removeScratch() { std::remove(scratchName().c_str()); }

const std::string& scratchPath() {
    std::string& path = scratchName();
    if (path.empty()) {
        // In memory where possible: a save syncs its file to disk.
        path = access("/dev/shm", W_OK) == 0 ? "/dev/shm/qbn-fuzz-XXXXXX" : "/tmp/qbn-fuzz-XXXXXX";
        int fd = mkstemp(path.data());
        if (fd >= 0)
            close(fd);
        std::atexit(removeScratch);
    }
    return path;
}

struct ReadResult {
    std::vector<FuzzItem*> items;
    std::string description;
    std::string version;
    bool clean = false;

    ~ReadResult() {
        for (FuzzItem* item : items)
            delete item;
    }
};

void readFile(const std::string& path, ReadResult& result) {
    SerialStream in(path, false);
    result.version = in.readString();
    in.setVersion(result.version);
    readList<FuzzItem>(in, [&](FuzzItem* item) { result.items.push_back(item); });
    for (const FuzzItem* item : result.items)
        item->describe(result.description);
    result.clean = !in.failed() && !in.ended();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = scratchPath();
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file)
            return 0;
        if (size)
            std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    {
        ReadResult first;
        readFile(path, first);
        if (first.clean) {
            SerialStream out(path, true);
            out.writeString(first.version);
            out.setVersion(first.version);
            writeList(out, "[fzL]", "[fzO]", first.items);
            if (!out.close())
                abort();
            ReadResult second;
            readFile(path, second);
            if (!second.clean || second.description != first.description)
                abort();
        }
    }
    if (alive != 0)
        abort();
    return 0;
}

#ifdef QBN_FUZZ_REPLAY
int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        std::printf("%s: ok\n", argv[i]);
    }
    return 0;
}
#endif
