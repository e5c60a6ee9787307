// Writes small seed files for the fuzz targets into <folder>/<target>/:
// scenes and levels saved by the game itself (every object the editor
// offers, with effects, properties and goals), a small animated model and
// pictures from the asset tool's writers, pictures in the other forms the
// reader takes, and font specs.
//
//   fuzz_make_seeds <folder>
//
// The seeds in fuzz/seeds/ come from here: run it with that folder after the
// file formats change (all but the record stream's seed).

#include <cstdio>
#include <cstring>

#include "FuzzSupport.h"
#include "assets/Bmp.h"
#include "assets/Md2Writer.h"
#include "assets/Model.h"
#include "level/Level.h"
#include "objects/ObjectCatalogue.h"
#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"
#include "physics/Physics.h"
#include "physics/PhysicsProperty.h"
#include "scene/Scene.h"

namespace fs = std::filesystem;
using NSSerialize::Serializeable;

namespace {

fs::path outFolder;

void put(const std::string& target, const std::string& name, const std::vector<uint8_t>& bytes) {
    fs::create_directories(outFolder / target);
    std::FILE* file = std::fopen((outFolder / target / name).c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        qbnfuzz::check(false, "cannot write a seed");
    std::fclose(file);
}

void putFile(const std::string& target, const std::string& name, const std::string& from) {
    std::vector<unsigned char> bytes = qbnfuzz::readBytes(from);
    put(target, name, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

// Objects of the editor's list, from first on, each with one effect and one
// property of the kinds numbered by first.
void fill(NSScene::Scene& scene, size_t first, size_t count) {
    const auto& list = NSObjects::creationList();
    for (size_t i = 0; i < count && first + i < list.size(); ++i) {
        NSNode::NodeGraphic* node = NSObjects::createObject(list[first + i].first);
        qbnfuzz::check(node != nullptr, "an object of the editor's list cannot be made");
        node->setPosition(Vector3(30.0f * i, 10.0f, -5.0f * i));
        const int kind = static_cast<int>((first + i) % 9);
        if (auto* effect = Serializeable::factorySerializeClass<NSPhysical::Physics>(CLASS_PHYSICS_GRAVITY + kind, true))
            node->addPhysics(effect);
        if (auto* property = Serializeable::factorySerializeClass<NSPhysical::PhysicsProperty>(
                CLASS_PHYSICS_PROPERTY_GRAVITY + kind, true))
            node->addProperty(property);
        scene.addObject(node);
    }
    scene.step(0.0f, 0.0f);
}

class SeedLevel : public NSLevel::Level {
public:
    SeedLevel() : Level("Seed level", "Make the first two touch") {}
    void build() override {}
};

void writeScenesAndLevels() {
    const size_t objects = NSObjects::creationList().size();
    {
        NSScene::Scene empty;
        qbnfuzz::check(empty.saveScene("empty"), "cannot save a scene");
        putFile("scene", "empty.lvs", "levels/empty.lvs");
    }
    for (size_t first = 0; first < objects; first += 3) {
        NSScene::Scene scene;
        fill(scene, first, 3);
        const std::string name = "objects" + std::to_string(first);
        qbnfuzz::check(scene.saveScene(name), "cannot save a scene");
        putFile("scene", name + ".lvs", "levels/" + name + ".lvs");
    }
    // A node inside another.
    {
        NSScene::Scene scene;
        fill(scene, 0, 1);
        auto* inner = NSObjects::createObject(NSObjects::creationList()[3].first);
        scene.getRoot()->getChildren().front()->addChild(inner);
        qbnfuzz::check(scene.saveScene("nested"), "cannot save a scene");
        putFile("scene", "nested.lvs", "levels/nested.lvs");
    }
    for (size_t first : {size_t(0), size_t(10)}) {
        NSScene::Scene scene;
        NSNode::ControllerNode::Use sceneWorld(scene.world());
        SeedLevel level;
        fill(scene, first, 3);
        const auto& children = scene.getRoot()->getChildren();
        level.registerWinConditonHit(static_cast<unsigned>(children[0]->getId()),
                                     static_cast<unsigned>(children[1]->getId()));
        level.registerWinConditonHit(static_cast<unsigned>(children[2]->getId()),
                                     static_cast<unsigned>(children[0]->getId()));
        const std::string name = "level" + std::to_string(first);
        qbnfuzz::check(level.save(name), "cannot save a level");
        putFile("level", name + ".lvl", "levels/" + name + ".lvl");
    }
}

void writeModels() {
    using namespace NSAssets;
    // A box that breathes (two frames) and then nods (three frames).
    auto pose = [](float phase) {
        return makeBox(Vec3(4.0f + phase, 2.0f, 3.0f - phase), UvRect());
    };
    Model model;
    model.skin = Image(8, 8);
    for (int i = 0; i < 5; ++i) {
        Mesh mesh = pose(0.25f * i);
        if (i == 0)
            model.mesh = mesh;
        model.addFrame(i < 2 ? "stand" + std::to_string(i + 1) : "nod" + std::to_string(i - 1), mesh);
    }
    put("md2", "box.md2", encodeMd2(model, "box.bmp"));
    Model still;
    still.skin = Image(4, 4);
    still.mesh = makeBox(Vec3(1, 1, 1), UvRect());
    still.addFrame("still", still.mesh);
    put("md2", "still.md2", encodeMd2(still, ""));
}

void writePictures() {
    using namespace NSAssets;
    Image image(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            image.at(x, y) = Rgba(x / 4.0f, y / 2.0f, 0.5f, (x + y) / 6.0f);
    put("bmp", "rgb.bmp", encodeBmp(image, 24));
    put("bmp", "rgba.bmp", encodeBmp(image, 32));
    // Top row first: the same picture with a negative height.
    std::vector<uint8_t> topDown = encodeBmp(image, 24);
    const int32_t height = -3;
    std::memcpy(&topDown[22], &height, 4);
    put("bmp", "topdown.bmp", topDown);
    // Eight bits with a colour table of four entries.
    std::vector<uint8_t> indexed = encodeBmp(Image(6, 2), 24);
    indexed.resize(54);
    indexed[28] = 8;                // bits per pixel
    indexed[46] = 4;                // colours used
    indexed[10] = 54 + 16;          // pixel data offset
    for (uint8_t c = 0; c < 4; ++c) // blue, green, red, unused
        indexed.insert(indexed.end(), {static_cast<uint8_t>(60 * c), 128, static_cast<uint8_t>(255 - 60 * c), 0});
    for (uint8_t row = 0; row < 2; ++row)
        indexed.insert(indexed.end(), {0, 1, 2, 3, row, 7, 0, 0}); // 7 lies past the table
    put("bmp", "indexed.bmp", indexed);
}

void writeFontSpecs() {
    int number = 0;
    for (std::string spec : {"Verdana 13 700", "Courier New 12 400", "Times New Roman 1 400", "  Arial   1   400 "})
        put("font_spec", "spec" + std::to_string(number++) + ".txt", std::vector<uint8_t>(spec.begin(), spec.end()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    qbnfuzz::enterScratchFolder(&argc, &argv, QBN_FUZZ_MODELS);
    outFolder = argv[1];
    writeScenesAndLevels();
    writeModels();
    writePictures();
    writeFontSpecs();
    return 0;
}
