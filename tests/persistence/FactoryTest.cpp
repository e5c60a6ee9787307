#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FileScratch.h"
#include "persistence/RecordIO.h"
#include "persistence/Serializeable.h"
#include "support/LogCapture.h"

using NSSerialize::readElement;
using NSSerialize::readList;
using NSSerialize::SerialStream;
using NSSerialize::Serializeable;
using NSSerialize::writeElement;
using NSSerialize::writeList;
using qbntest::Bytes;
using qbntest::cat;
using qbntest::le32;
using qbntest::readFileBytes;
using qbntest::str0;
using qbntest::writeFileBytes;

namespace {

// Ids far from the game's own.
enum : int { ID_LEAF = 9001, ID_STRANGER = 9002, ID_SHELF = 9003, ID_PADDED = 9004, ID_UNREGISTERED = 9099 };

int aliveObjects = 0;

// What the lists in these tests hold.
class Item : public Serializeable {
public:
    Item() { ++aliveObjects; }
    ~Item() override { --aliveObjects; }
    virtual std::string describe() const = 0;
};

class Leaf : public Item {
public:
    explicit Leaf(bool full) : madeFull(full), value(full ? 7 : 0) {}
    Leaf(int v, const std::string& n) : madeFull(true), value(v), name(n) {}
    int classId() const override { return ID_LEAF; }
    void serialize(SerialStream& stream) override {
        Item::serialize(stream);
        if (!stream.isCurrentVersion())
            return;
        stream.transfer(value);
        stream.transfer(name);
    }
    std::string describe() const override { return std::to_string(value) + name; }

    bool madeFull;
    int value;
    std::string name;
};

// An item holding a list of items.
class Shelf : public Item {
public:
    explicit Shelf(bool) {}
    ~Shelf() override {
        for (Item* item : items)
            delete item;
    }
    int classId() const override { return ID_SHELF; }
    void serialize(SerialStream& stream) override {
        Item::serialize(stream);
        if (!stream.isCurrentVersion())
            return;
        stream.transfer(label);
        if (stream.isWriting())
            writeList(stream, "[itmL]", "[itmO]", items);
        else
            readList<Item>(stream, [this](Item* item) { items.push_back(item); });
    }
    std::string describe() const override {
        std::string text = label + "(";
        for (const Item* item : items)
            text += item->describe() + " ";
        return text + ")";
    }

    std::string label;
    std::vector<Item*> items;
};

// A record of a set number of bytes; only ever written.
class Padded : public Item {
public:
    explicit Padded(bool) {}
    int classId() const override { return ID_PADDED; }
    void serialize(SerialStream& stream) override {
        for (int i = 0; i < bytes; ++i)
            stream.writeBool(0);
    }
    std::string describe() const override { return "padded"; }
    int bytes = 0;
};

// Saveable, but not an Item.
class Stranger : public Serializeable {
public:
    explicit Stranger(bool) { ++aliveObjects; }
    ~Stranger() override { --aliveObjects; }
    int classId() const override { return ID_STRANGER; }
    void serialize(SerialStream& stream) override { stream.writeInt(5); }
};

} // namespace

QBN_REGISTER_CLASS(ID_LEAF, Leaf)
QBN_REGISTER_CLASS(ID_SHELF, Shelf)
QBN_REGISTER_CLASS(ID_PADDED, Padded)
QBN_REGISTER_CLASS(ID_STRANGER, Stranger)

namespace {

std::string unknownMessage(int id) {
    return "Serializeable::factorySerializeClass() - Klassenid unbekannt (" + std::to_string(id) + ")\n";
}

std::string notASubtypeMessage(int id) {
    return "Serializeable::factorySerializeClass<T>() - geforderte klasse (" + std::to_string(id) +
           ") kein untertyp von gegebenem typ\n";
}

// ---------------------------------------------------------------------------
// The class factory

TEST(FactoryTest, MakesRegisteredClassesWithTheFullFlag) {
    Serializeable* made = Serializeable::factorySerializeClass(ID_LEAF, true);
    Leaf* full = dynamic_cast<Leaf*>(made);
    ASSERT_NE(full, nullptr);
    EXPECT_TRUE(full->madeFull);
    EXPECT_EQ(full->value, 7);
    delete made;

    Leaf* empty = Serializeable::factorySerializeClass<Leaf>(ID_LEAF, false);
    ASSERT_NE(empty, nullptr);
    EXPECT_FALSE(empty->madeFull);
    delete empty;

    // A second registration of an id is refused; the first one stays.
    qbntest::LogCapture log;
    EXPECT_FALSE(Serializeable::registerClass(ID_LEAF, [](bool full) -> Serializeable* { return new Shelf(full); }));
    EXPECT_FALSE(Serializeable::registerClass(ID_UNREGISTERED, nullptr));
    EXPECT_FALSE(Serializeable::isRegistered(ID_UNREGISTERED));
    made = Serializeable::factorySerializeClass(ID_LEAF, false);
    EXPECT_NE(dynamic_cast<Leaf*>(made), nullptr);
    delete made;
    EXPECT_EQ(aliveObjects, 0);
}

TEST(FactoryTest, AnUnknownIdIsLoggedAndGivesNull) {
    qbntest::LogCapture log;
    EXPECT_EQ(Serializeable::factorySerializeClass(505, false), nullptr); // the plane volume is never saved
    EXPECT_EQ(Serializeable::factorySerializeClass<Item>(ID_UNREGISTERED, true), nullptr);
    EXPECT_EQ(log.text(), unknownMessage(505) + unknownMessage(ID_UNREGISTERED));
}

TEST(FactoryTest, AClassOfAnotherKindIsLoggedDestroyedAndGivesNull) {
    qbntest::LogCapture log;
    EXPECT_EQ(Serializeable::factorySerializeClass<Item>(ID_STRANGER, false), nullptr);
    EXPECT_EQ(log.text(), notASubtypeMessage(ID_STRANGER));
    EXPECT_EQ(aliveObjects, 0);
}

// ---------------------------------------------------------------------------
// Elements and lists on file

class RecordIOTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.ok()); }
    void TearDown() override { EXPECT_EQ(aliveObjects, 0) << "objects leaked or deleted twice"; }
    std::string path(const std::string& name) const { return dir.path(name); }

    // Reads one list of items and describes what came out.
    static std::string readItems(SerialStream& in) {
        std::string text;
        readList<Item>(in, [&](Item* item) {
            text += item->describe() + " ";
            delete item;
        });
        return text;
    }

    qbntest::ScratchDir dir;
};

TEST_F(RecordIOTest, ElementBlocksHoldLengthClassIdAndRecord) {
    const std::string file = path("padded.bin");
    {
        Padded ten(true), zero(true), seven(true);
        ten.bytes = 10;
        seven.bytes = 7;
        std::vector<Padded*> items = {&ten, nullptr, &zero, &seven}; // null is left out
        SerialStream out(file, true);
        writeList(out, "[padL]", "[padO]", items);
        writeList(out, "[nonL]", "[nonO]", std::vector<Padded*>());
        ASSERT_TRUE(out.close());
    }
    const unsigned id = ID_PADDED;
    EXPECT_EQ(readFileBytes(file), cat({str0("[padL]"), le32(4 + 4 + 3 * 7 + 18 + 8 + 15), le32(3),
                                        str0("[padO]"), le32(18), le32(id), Bytes(10, 0),
                                        str0("[padO]"), le32(8), le32(id),
                                        str0("[padO]"), le32(15), le32(id), Bytes(7, 0),
                                        str0("[nonL]"), le32(8), le32(0)}));
}

TEST_F(RecordIOTest, NestedListsReadBackAsWritten) {
    const std::string file = path("nested.bin");
    {
        Shelf outer(true), *inner = new Shelf(true);
        outer.label = "outer";
        inner->label = "inner";
        inner->items.push_back(new Leaf(2, "b"));
        outer.items = {new Leaf(1, "a"), inner, new Leaf(3, "c")};
        SerialStream out(file, true);
        writeList(out, "[shfL]", "[shfO]", std::vector<Shelf*>{&outer});
        out.writeInt(-1);
        ASSERT_TRUE(out.close());
    }
    SerialStream in(file, false);
    EXPECT_EQ(readItems(in), "outer(1a inner(2b ) 3c ) ");
    EXPECT_EQ(in.readInt(), -1);
    EXPECT_FALSE(in.failed());
}

TEST_F(RecordIOTest, ElementsThatCannotBeMadeAreSkippedAndTheListGoesOn) {
    struct Case {
        const char* name;
        void (*writeMiddle)(SerialStream&);
        std::string items;
        std::string log;
    };
    const Case cases[] = {
        {"unknown class",
         [](SerialStream& out) {
             out.writeString("[itmO]");
             out.beginBlock();
             out.writeInt(ID_UNREGISTERED);
             out.writeString("a record from a newer program");
             out.endBlock();
         },
         "10first 30last ", unknownMessage(ID_UNREGISTERED)},
        {"class of another kind",
         [](SerialStream& out) {
             Stranger stranger(true);
             writeElement(out, "[itmO]", stranger);
         },
         "10first 30last ", notASubtypeMessage(ID_STRANGER)},
        {"record shorter than its block",
         [](SerialStream& out) {
             out.writeString("[itmO]");
             out.beginBlock();
             out.writeInt(ID_LEAF);
             Leaf(20, "middle").serialize(out);
             out.writeString("fields this program does not know");
             out.endBlock();
         },
         "10first 20middle 30last ", ""},
    };
    const std::string file = path("list.bin");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        {
            SerialStream out(file, true);
            out.writeString("[itmL]");
            out.beginBlock();
            out.writeInt(3);
            Leaf first(10, "first"), last(30, "last");
            writeElement(out, "[itmO]", first);
            c.writeMiddle(out);
            writeElement(out, "[itmO]", last);
            out.endBlock();
            out.writeInt(-1);
            ASSERT_TRUE(out.close());
        }
        qbntest::LogCapture log;
        SerialStream in(file, false);
        EXPECT_EQ(readItems(in), c.items);
        EXPECT_EQ(in.readInt(), -1);
        EXPECT_FALSE(in.failed());
        EXPECT_EQ(log.text(), c.log);
    }
}

TEST_F(RecordIOTest, RecordsAreNeitherWrittenNorReadUnderAnotherVersion) {
    const std::string file = path("version.bin");
    {
        SerialStream out(file, true);
        out.setVersion("0.9");
        Leaf leaf(5, "five");
        writeElement(out, "[itmO]", leaf);
        ASSERT_TRUE(out.close());
    }
    EXPECT_EQ(readFileBytes(file), cat({str0("[itmO]"), le32(8), le32(ID_LEAF)}));

    writeFileBytes(file, cat({le32(5), str0("five")}));
    SerialStream in(file, false);
    in.setVersion("1.0 ");
    Leaf leaf(false);
    leaf.serialize(in);
    EXPECT_EQ(leaf.describe(), "0");
    EXPECT_EQ(in.position(), 0);
    in.setVersion("1.0");
    leaf.serialize(in);
    EXPECT_EQ(leaf.describe(), "5five");
}

TEST_F(RecordIOTest, HostileCountsAndLengthsEndTheLoadAsFailed) {
    const unsigned leaf = ID_LEAF;
    const std::pair<const char*, Bytes> cases[] = {
        {"count of two billion", cat({str0("[L]"), le32(12), le32(0x7FFFFFFF), le32(0)})},
        {"negative count", cat({str0("[L]"), le32(12), le32(0xFFFFFFFF), le32(0)})},
        {"list block past the end", cat({str0("[L]"), le32(0x10000000), le32(1)})},
        {"element block past the list", cat({str0("[L]"), le32(21), le32(1), str0(""), le32(100), le32(leaf), le32(0)})},
        {"negative element block", cat({str0("[L]"), le32(17), le32(1), str0(""), le32(0xFFFFFFF8), le32(0)})},
        {"record longer than its block",
         cat({str0("[L]"), le32(4 + 4 + 1 + 12 + 4), le32(1), str0(""), le32(12), le32(leaf), le32(20), str0("abc")})},
    };
    const std::string file = path("hostile.bin");
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        writeFileBytes(file, bytes);
        qbntest::LogCapture quiet;
        SerialStream in(file, false);
        EXPECT_EQ(readItems(in), "");
        EXPECT_TRUE(in.failed());
    }
}

TEST_F(RecordIOTest, ShelvesNestedTooDeeplyFailWithoutExhaustingTheStack) {
    const int depth = 50000; // far deeper than recursion could follow
    const std::string file = path("deep.bin");
    {
        SerialStream out(file, true);
        for (int i = 0; i < depth; ++i) {
            out.writeString("");
            out.beginBlock();
            out.writeInt(ID_SHELF);
            out.writeString(""); // label
            out.writeString("");
            out.beginBlock();
            out.writeInt(1);
        }
        Leaf leaf(1, "bottom");
        writeElement(out, "", leaf);
        for (int i = 0; i < 2 * depth; ++i)
            out.endBlock();
        ASSERT_TRUE(out.close());
    }
    qbntest::LogCapture log;
    SerialStream in(file, false);
    EXPECT_EQ(readElement<Item>(in), nullptr);
    EXPECT_TRUE(in.failed());
    EXPECT_NE(log.text().find("nested too deeply"), std::string::npos);
}

TEST_F(RecordIOTest, EveryTruncationOrDamagedByteEndsCleanly) {
    const std::string file = path("damaged.bin");
    {
        Shelf outer(true), *inner = new Shelf(true);
        inner->items.push_back(new Leaf(2, "b"));
        outer.items = {new Leaf(1, "a"), inner};
        SerialStream out(file, true);
        writeElement(out, "[shfO]", outer);
        ASSERT_TRUE(out.close());
    }
    const Bytes original = readFileBytes(file);
    qbntest::LogCapture quiet;
    for (size_t length = 0; length < original.size(); ++length) {
        SCOPED_TRACE(length);
        writeFileBytes(file, Bytes(original.begin(), original.begin() + static_cast<long>(length)));
        SerialStream in(file, false);
        delete readElement<Item>(in);
        EXPECT_TRUE(in.failed() || in.ended());
    }
    // Whatever a damaged byte makes of the file, nothing crashes, loops or leaks.
    for (size_t at = 0; at < original.size(); ++at) {
        for (unsigned char value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            Bytes damaged = original;
            damaged[at] = value;
            writeFileBytes(file, damaged);
            SerialStream in(file, false);
            delete readElement<Item>(in);
            ASSERT_EQ(aliveObjects, 0);
        }
    }
}

} // namespace
