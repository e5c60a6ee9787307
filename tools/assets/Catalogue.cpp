#include "assets/Objects.h"

namespace NSAssets {

std::vector<ModelAsset> buildModels() {
    std::vector<ModelAsset> out;
    out.push_back({"basketball.md2", "basketball_pic.bmp", buildBasketball(), Vec3(0.15f, 0.35f, 1.0f), 0.2f});
    out.push_back({"bowlingball.md2", "bowlingball_pic.bmp", buildBowlingball(), Vec3(0.1f, 0.3f, 1.0f), 0.9f});
    out.push_back({"tennisball.md2", "tennisball_pic.bmp", buildTennisball(), Vec3(0.2f, 0.4f, 1.0f), 0.0f});
    out.push_back({"brett1.md2", "brett1_pic.bmp", buildBoard(30, 30, 101), Vec3(0.8f, 0.9f, 1.0f), 0.0f});
    out.push_back({"brett2.md2", "brett2_pic.bmp", buildBoard(20, 90, 102), Vec3(1.0f, 0.8f, 0.5f), 0.0f});
    out.push_back({"brett3.md2", "brett3_pic.bmp", buildBoard(60, 60, 103), Vec3(0.8f, 0.9f, 1.0f), 0.0f});
    out.push_back({"Johnny5.md2", "johnny5_pic.bmp", buildRobot(), Vec3(0.6f, 0.35f, 1.0f), 0.3f});
    out.push_back({"sprungbrett.md2", "sprungbrett_pic.bmp", buildSpringboard(), Vec3(0.8f, 0.55f, 1.0f), 0.2f});
    out.push_back({"rollband1.md2", "rollband1_pic.bmp", buildConveyor(30, false), Vec3(0.7f, 0.7f, 1.0f), 0.1f});
    out.push_back({"rollband2.md2", "rollband2_pic.bmp", buildConveyor(100, true), Vec3(1.0f, 0.7f, 0.6f), 0.1f});
    out.push_back({"ventilator.md2", "ventilator_pic.bmp", buildFan(), Vec3(0.55f, 0.3f, 1.0f), 0.3f});
    out.push_back({"teslaspule.md2", "teslaspule_pic.bmp", buildTeslaCoil(), Vec3(0.5f, 0.35f, 1.0f), 0.5f});
    return out;
}

} // namespace NSAssets
