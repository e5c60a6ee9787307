#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FileScratch.h"
#include "persistence/RecordIO.h"
#include "persistence/Serializeable.h"
#include "support/LogCapture.h"

using namespace NSSerialize;
using namespace qbntest;

namespace {

// Ids far from the game's own.
enum : int { ID_LEAF = 9001, ID_STRANGER = 9002, ID_SHELF = 9003, ID_UNREGISTERED = 9099 };

int aliveObjects = 0;

// What the lists in these tests hold; describe() shows what was read.
class Item : public Serializeable {
public:
    Item() { ++aliveObjects; }
    ~Item() override { --aliveObjects; }
    virtual std::string describe() const = 0;
};

class Leaf : public Item {
public:
    explicit Leaf(bool full) : madeFull(full) {}
    Leaf(int v, const std::string& n) : value(v), name(n) {}
    int classId() const override { return ID_LEAF; }
    void serialize(SerialStream& stream) override {
        stream.transfer(value);
        stream.transfer(name);
    }
    std::string describe() const override { return std::to_string(value) + name; }
    bool madeFull = true;
    int value = 0;
    std::string name;
};

// An item holding a list of items.
class Shelf : public Item {
public:
    explicit Shelf(bool, std::vector<Item*> held = {}) : items(held) {}
    ~Shelf() override {
        for (Item* item : items)
            delete item;
    }
    int classId() const override { return ID_SHELF; }
    void serialize(SerialStream& stream) override {
        if (stream.isWriting())
            writeList(stream, "[itmL]", "[itmO]", items);
        else
            readList<Item>(stream, [this](Item* item) { items.push_back(item); });
    }
    std::string describe() const override {
        std::string text = "(";
        for (const Item* item : items)
            text += item->describe() + " ";
        return text + ")";
    }
    std::vector<Item*> items;
};

// Saveable, but not an Item; its record is empty.
class Stranger : public Serializeable {
public:
    explicit Stranger(bool) { ++aliveObjects; }
    ~Stranger() override { --aliveObjects; }
    int classId() const override { return ID_STRANGER; }
};

// Claims any class id; its record is a leaf's and a field no reader knows.
class Impostor : public Serializeable {
public:
    explicit Impostor(int i) : id(i) {}
    int classId() const override { return id; }
    void serialize(SerialStream& stream) override {
        Leaf(20, "middle").serialize(stream);
        stream.writeString("from a newer program");
    }
    int id;
};

} // namespace

QBN_REGISTER_CLASS(ID_LEAF, Leaf)
QBN_REGISTER_CLASS(ID_SHELF, Shelf)
QBN_REGISTER_CLASS(ID_STRANGER, Stranger)

namespace {

std::string unknownMessage(int id) {
    return "Serializeable::factorySerializeClass() - Klassenid unbekannt (" + std::to_string(id) + ")\n";
}

std::string notASubtypeMessage(int id) {
    return "Serializeable::factorySerializeClass<T>() - geforderte klasse (" + std::to_string(id) +
           ") kein untertyp von gegebenem typ\n";
}

TEST(FactoryTest, MakesRegisteredClassesAndRefusesEverythingElse) {
    for (bool full : {true, false}) {
        Leaf* leaf = Serializeable::factorySerializeClass<Leaf>(ID_LEAF, full);
        ASSERT_NE(leaf, nullptr);
        EXPECT_EQ(leaf->madeFull, full);
        delete leaf;
    }
    LogCapture log;
    EXPECT_EQ(Serializeable::factorySerializeClass(505, false), nullptr); // the plane volume is never saved
    EXPECT_EQ(Serializeable::factorySerializeClass<Item>(ID_STRANGER, false), nullptr);
    EXPECT_EQ(log.text(), unknownMessage(505) + notASubtypeMessage(ID_STRANGER));
    EXPECT_EQ(aliveObjects, 0) << "the stranger was not destroyed";
}

class RecordIOTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.ok()); }
    void TearDown() override { EXPECT_EQ(aliveObjects, 0) << "objects leaked or deleted twice"; }
    // Reads one list of items and describes what came out.
    static std::string readItems(SerialStream& in) {
        std::string text;
        readList<Item>(in, [&](Item* item) {
            text += item->describe() + " ";
            delete item;
        });
        return text;
    }
    ScratchDir dir;
    const std::string file = dir.path("records.bin");
};

TEST_F(RecordIOTest, ElementBlocksHoldLengthClassIdAndRecord) {
    {
        Leaf ten(1, "abcde"), seven(2, "ab");
        Stranger empty(true);
        SerialStream out(file, true);
        writeList(out, "[L]", "[O]", std::vector<Serializeable*>{&ten, nullptr, &empty, &seven}); // null is left out
        writeList(out, "[nonL]", "[nonO]", std::vector<Leaf*>());
        ASSERT_TRUE(out.close());
    }
    const unsigned leaf = ID_LEAF, stranger = ID_STRANGER;
    EXPECT_EQ(readFileBytes(file), cat({str0("[L]"), le32(4 + 4 + 3 * 4 + 18 + 8 + 15), le32(3),
                                        str0("[O]"), le32(18), le32(leaf), le32(1), str0("abcde"),
                                        str0("[O]"), le32(8), le32(stranger),
                                        str0("[O]"), le32(15), le32(leaf), le32(2), str0("ab"),
                                        str0("[nonL]"), le32(8), le32(0)}));
}

// Lists nest; an element that cannot be made, or whose record is longer than
// this program reads, is stepped over and the list goes on.
TEST_F(RecordIOTest, ListsNestAndSkipWhatTheyCannotRead) {
    const struct {
        int id;
        std::string items, log;
    } cases[] = {{ID_UNREGISTERED, "1a (2b ) ", unknownMessage(ID_UNREGISTERED)},
                 {ID_STRANGER, "1a (2b ) ", notASubtypeMessage(ID_STRANGER)},
                 {ID_LEAF, "1a 20middle (2b ) ", ""}};
    for (const auto& c : cases) {
        {
            Leaf first(1, "a");
            Impostor middle(c.id);
            Shelf last(true, {new Leaf(2, "b")});
            SerialStream out(file, true);
            writeList(out, "[L]", "[O]", std::vector<Serializeable*>{&first, &middle, &last});
            out.writeInt(-1);
            ASSERT_TRUE(out.close());
        }
        LogCapture log;
        SerialStream in(file, false);
        EXPECT_EQ(readItems(in), c.items);
        EXPECT_EQ(in.readInt(), -1);
        EXPECT_FALSE(in.failed());
        EXPECT_EQ(log.text(), c.log);
    }
}

TEST_F(RecordIOTest, HostileCountsLengthsAndNestingFailTheLoad) {
    const unsigned leaf = ID_LEAF;
    const std::pair<const char*, Bytes> cases[] = {
        {"count of two billion", cat({str0("[L]"), le32(12), le32(0x7FFFFFFF), le32(0)})},
        {"element past the list", cat({str0("[L]"), le32(21), le32(1), str0(""), le32(100), le32(leaf), le32(0)})},
        {"negative element block", cat({str0("[L]"), le32(17), le32(1), str0(""), le32(0xFFFFFFF8), le32(0)})},
        {"record longer than its block",
         cat({str0("[L]"), le32(4 + 4 + 1 + 12 + 4), le32(1), str0(""), le32(12), le32(leaf), le32(20), str0("abc")})},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        writeFileBytes(file, bytes);
        LogCapture quiet;
        SerialStream in(file, false);
        EXPECT_EQ(readItems(in), "");
        EXPECT_TRUE(in.failed());
    }

    // Shelves nested far deeper than recursion could follow.
    {
        SerialStream out(file, true);
        for (int i = 0; i < 50000; ++i) {
            out.writeString("");
            out.beginBlock();
            out.writeInt(ID_SHELF);
            out.writeString("");
            out.beginBlock();
            out.writeInt(1);
        }
        Leaf bottom(1, "bottom");
        writeElement(out, "", bottom);
        for (int i = 0; i < 2 * 50000; ++i)
            out.endBlock();
        ASSERT_TRUE(out.close());
    }
    LogCapture log;
    SerialStream in(file, false);
    EXPECT_EQ(readElement<Item>(in), nullptr);
    EXPECT_TRUE(in.failed());
    EXPECT_NE(log.text().find("nested too deeply"), std::string::npos);
}

TEST_F(RecordIOTest, EveryTruncationEndsCleanly) {
    {
        Shelf outer(true, {new Leaf(1, "a"), new Shelf(true, {new Leaf(2, "b")})});
        SerialStream out(file, true);
        writeElement(out, "[shfO]", outer);
        ASSERT_TRUE(out.close());
    }
    const Bytes original = readFileBytes(file);
    LogCapture quiet;
    for (size_t length = 0; length < original.size(); ++length) {
        writeFileBytes(file, Bytes(original.begin(), original.begin() + long(length)));
        SerialStream in(file, false);
        delete readElement<Item>(in);
        ASSERT_EQ(aliveObjects, 0) << "cut at " << length;
        ASSERT_TRUE(in.failed() || in.ended()) << "cut at " << length;
    }
}

} // namespace
