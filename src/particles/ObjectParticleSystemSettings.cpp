// The emitter's settings: its record in a file, its copies and its page in
// the side menu.
#include "particles/ObjectParticleSystem.h"

#include <algorithm>
#include <utility>

#include "persistence/ClassIds.h"
#include "scene/Scene.h"

namespace NSParticle {

int ObjectParticleSystem::classId() const { return CLASS_PARTICLE_SYSTEM; }

void ObjectParticleSystem::serialize(NSSerialize::SerialStream& s) {
    NodeGraphic::serialize(s);
    if (!s.isCurrentVersion())
        return;
    s.transfer(emitterSize);
    s.transfer(emitAngle);
    s.transfer(emitSpeed);
    s.transfer(emitSpeedVar);
    s.transfer(autostart);
    s.transfer(autostartDelay);
    // A file may ask for no more than the menu offers: a rate or a
    // resurrection count beyond it buries the scene in particles.
    s.transfer(partsPerSec, "particles per second", NSSerialize::FieldLimits{0.0f, kMaxPartsPerSec});
    s.transfer(partsPerSecVar);
    s.transfer(maxVisible);
    s.transfer(maxVisibleEnabled);
    s.transfer(partsMax);
    s.transfer(partsMaxEnabled);
    s.transfer(emitDuration);
    s.transfer(emitDurationEnabled);
    s.transfer(startRotation);
    s.transfer(startRotationVar);
    s.transfer(lifespan);
    s.transfer(lifespanVar);
    s.transfer(interactionMode);
    s.transfer(resurrection);
    s.transfer(resurrectParts);
    s.transfer(resurrectIterations);
    if (s.isReading()) {
        resurrectParts = std::min(std::max(resurrectParts, 0), kMaxResurrectParts);
        resurrectIterations = std::min(std::max(resurrectIterations, 0), kMaxResurrectIterations);
    }
    s.transfer(resurrectSize);
    s.transfer(resurrectSizeVar);
    s.transfer(emitterVisibility);
    s.transfer(colorMode);
    s.transfer(fadeColor);
    s.transfer(colorIterations);
    s.transfer(randomStartColor);
    s.transfer(alphaFading);
    s.transfer(alphaFadeBegin);
    s.transfer(alphaFadeEnd);
    s.transfer(editEmitSpeed);
    s.transfer(editPartLifespan);
    s.transfer(editStartRotation);
    s.transfer(editEmitAngle);
    s.transfer(editEmitterBox);
}

void ObjectParticleSystem::copyFrom(const NSClone::Cloneable* source) {
    auto* o = dynamic_cast<const ObjectParticleSystem*>(source);
    if (!o || o == this)
        return;
    NodeGraphic::copyFrom(source);
    static_cast<EmitterSettings&>(*this) = *o;
}

bool ObjectParticleSystem::setMenuValue(std::string label, NSMenu::Value value) {
    if (label == "Mode Constant" || label == "Mode Fade" || label == "Mode Iterate") {
        colorMode = label == "Mode Constant" ? 0 : (label == "Mode Fade" ? 1 : 2);
        menuLinesChanged();
        return true;
    }
    if (label == "No Interaction" || label == "From Beginning" || label == "First no-Hit") {
        interactionMode = value.intValue;
        return true;
    }
    if (label == "Visible") {
        emitterVisibility = value.boolValue ? 2 : 1;
        return true;
    }
    Field f = field(label);
    if (f.b)
        *f.b = value.boolValue;
    else if (f.i)
        *f.i = value.intValue;
    else if (f.f)
        *f.f = value.floatValue;
    else
        return NodeGraphic::setMenuValue(label, value);
    return true;
}

NSMenu::Value ObjectParticleSystem::getMenuValue(std::string label) {
    if (label == "Visible")
        return NSMenu::Value::ofBool(emitterVisibility == 2);
    // The running page and the mode lines change without a rebuild of
    // the menu; its refresh reads them here.
    if (label == "Visible Particles")
        return NSMenu::Value::ofInt(static_cast<int>(particles.size()));
    if (label == "Generated Particles")
        return NSMenu::Value::ofInt(generatedCount);
    if (label == "Interaction Mode")
        return NSMenu::Value::ofString(interactionName(interactionMode));
    if (label == "Color Mode")
        return NSMenu::Value::ofString(colorModeName(colorMode));
    if (label == "Mode Constant" || label == "Mode Fade" || label == "Mode Iterate")
        return NSMenu::Value::ofBool(true);
    Field f = field(label);
    if (f.b)
        return NSMenu::Value::ofBool(*f.b);
    if (f.i)
        return NSMenu::Value::ofInt(*f.i);
    if (f.f)
        return NSMenu::Value::ofFloat(*f.f);
    return NodeGraphic::getMenuValue(label);
}

namespace {

// A group of lines the player sees when its edit switch is on; the editor
// sees the switch too. A separator follows it.
template <class Body>
void editGroup(std::vector<NSMenu::MenuEntry>& list, bool offered, bool detailed, NSMenu::MenuEntry editLine,
               bool flag, Body body) {
    if (offered && (detailed || flag)) {
        if (detailed)
            list.push_back(std::move(editLine));
        body();
    }
    list.emplace_back();
}

// A group of lines only the editor sees; some are followed by a separator.
template <class Body>
void customGroup(std::vector<NSMenu::MenuEntry>& list, bool offered, bool detailed, bool separator, Body body) {
    if (offered && detailed)
        body();
    if (separator)
        list.emplace_back();
}

} // namespace

void ObjectParticleSystem::appendObjectMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) {
    using namespace NSMenu;
    const unsigned flags = getMenuFlags();
    NSScene::Scene* scene = sceneOf(*this);
    if (scene && scene->isRunning()) {
        list.emplace_back(nullptr, "PARTICLE DETAILS", TYPE_STRING, KIND_HEADER, Value(), false);
        list.push_back(intLine("Visible Particles", KIND_INPUT, static_cast<int>(particles.size()), 0, 99999, false));
        list.push_back(intLine("Generated Particles", KIND_INPUT, generatedCount, 0, 99999, false));
        return;
    }
    emitterEntries(list, flags, detailed);
    amountEntries(list, flags, detailed);
    customGroup(list, flags & 0x4000000, detailed, true, [&] {
        list.emplace_back(nullptr, "Interaction", TYPE_BOOL, KIND_HEADER, Value(), false);
        const char* modes[3] = {"No Interaction", "From Beginning", "First no-Hit"};
        for (int m = 0; m < 3; ++m)
            list.emplace_back(nullptr, modes[m], TYPE_INT, KIND_BUTTON, Value::ofInt(m), true);
        list.emplace_back(this, "Interaction Mode", TYPE_STRING, KIND_INPUT,
                          Value::ofString(interactionName(interactionMode)), false);
    });
    customGroup(list, flags & 0x40000000, detailed, true, [&] { colourEntries(list); });
    if (detailed) {
        list.push_back(boolLine("Enable Alpha Fading", alphaFading));
        list.push_back(floatLine("Alpha Fading Begin", KIND_SLIDER, alphaFadeBegin, 0, 1));
        list.push_back(floatLine("Alpha Fading End", KIND_SLIDER, alphaFadeEnd, 0, 1));
    }
    list.emplace_back();
    customGroup(list, flags & 0x20000000, detailed, true, [&] { list.push_back(boolLine("Visible", emitterVisibility == 2)); });
}

void ObjectParticleSystem::emitterEntries(std::vector<NSMenu::MenuEntry>& list, unsigned flags, bool detailed) {
    using namespace NSMenu;
    editGroup(list, flags & 0x10000, detailed, boolLine("Edit Emitter-Box", editEmitterBox), editEmitterBox, [&] {
        list.push_back(floatLine("Emitter-Length", KIND_INPUT, emitterSize.x, 0, 1000));
        list.push_back(floatLine("Emitter-Width", KIND_INPUT, emitterSize.y, 0, 1000));
        list.push_back(floatLine("Emitter-Height", KIND_INPUT, emitterSize.z, 0, 1000));
    });
    editGroup(list, flags & 0x20000, detailed, boolLine("Edit Emit-Angle", editEmitAngle), editEmitAngle, [&] {
        list.push_back(floatLine("Emit-Angle X", KIND_SLIDER, emitAngle.x, 0, 1));
        list.push_back(floatLine("Emit-Angle Y", KIND_SLIDER, emitAngle.y, 0, 1));
    });
    editGroup(list, flags & 0x40000, detailed, boolLine("Edit Emit-Speed", editEmitSpeed), editEmitSpeed, [&] {
        list.push_back(floatLine("Emit-Speed", KIND_INPUT, emitSpeed, 0, 999));
        list.push_back(floatLine("Emit-Speed Var.", KIND_SLIDER, emitSpeedVar, 0, 1));
    });
    editGroup(list, flags & 0x1000000, detailed, boolLine("Edit Start-Rotation", editStartRotation),
              editStartRotation, [&] {
                  const char* axes[3] = {"X", "Y", "Z"};
                  const float rot[3] = {startRotation.x, startRotation.y, startRotation.z};
                  const float var[3] = {startRotationVar.x, startRotationVar.y, startRotationVar.z};
                  for (int a = 0; a < 3; ++a)
                      list.push_back(floatLine(std::string("Start-Rotation ") + axes[a], KIND_SLIDER, rot[a], 0, 3));
                  for (int a = 0; a < 3; ++a)
                      list.push_back(floatLine(std::string("Start-Rotation ") + axes[a] + " Var.", KIND_SLIDER,
                                               var[a], 0, 1));
              });
    editGroup(list, flags & 0x2000000, detailed, boolLine("Edit Part-Lifespan", editPartLifespan), editPartLifespan,
              [&] {
                  list.push_back(floatLine("Part-Lifespan", KIND_INPUT, lifespan, 0, 200));
                  list.push_back(floatLine("Part-Lifespan Var.", KIND_SLIDER, lifespanVar, 0, 1));
              });
}

void ObjectParticleSystem::amountEntries(std::vector<NSMenu::MenuEntry>& list, unsigned flags, bool detailed) {
    using namespace NSMenu;
    customGroup(list, flags & 0x80000, detailed, true, [&] {
        list.push_back(boolLine("Enable Autostart", autostart));
        list.push_back(floatLine("Autostart Delay", KIND_INPUT, autostartDelay, 0, 500));
    });
    customGroup(list, flags & 0x100000, detailed, false, [&] {
        list.push_back(floatLine("Parts Per Sec.", KIND_INPUT, partsPerSec, 0, kMaxPartsPerSec));
        list.push_back(floatLine("Parts Per Sec. Var.", KIND_SLIDER, partsPerSecVar, 0, 1));
    });
    customGroup(list, flags & 0x400000, detailed, false, [&] {
        list.push_back(boolLine("Enable Parts Max", partsMaxEnabled));
        list.push_back(intLine("Parts Max", KIND_INPUT, partsMax, 0, 9999));
    });
    customGroup(list, flags & 0x800000, detailed, false, [&] {
        list.push_back(boolLine("Enable Emit Duration", emitDurationEnabled));
        list.push_back(floatLine("Emit Duration", KIND_INPUT, emitDuration, 0, 9999));
    });
    customGroup(list, flags & 0x200000, detailed, true, [&] {
        list.push_back(boolLine("Enable Max Visible", maxVisibleEnabled));
        list.push_back(intLine("Parts Max Visible", KIND_INPUT, maxVisible, 0, 9999));
    });
    customGroup(list, flags & 0x8000000, detailed, true, [&] {
        list.push_back(boolLine("Enable Resurrection", resurrection));
        list.push_back(intLine("Resurrect-Parts", KIND_SLIDER, resurrectParts, 0, kMaxResurrectParts));
        list.push_back(intLine("Resurrect-Iterations", KIND_SLIDER, resurrectIterations, 0, kMaxResurrectIterations));
        list.push_back(floatLine("Resurrect-Size", KIND_SLIDER, resurrectSize, 0, 3));
        list.push_back(floatLine("Resurrect-Size Var.", KIND_SLIDER, resurrectSizeVar, 0, 1));
    });
}

void ObjectParticleSystem::colourEntries(std::vector<NSMenu::MenuEntry>& list) {
    using namespace NSMenu;
    list.emplace_back(nullptr, "Color", TYPE_BOOL, KIND_HEADER, Value(), false);
    for (const char* m : {"Mode Constant", "Mode Fade", "Mode Iterate"})
        list.emplace_back(this, m, TYPE_BOOL, KIND_BUTTON, Value::ofBool(true), true);
    list.emplace_back(this, "Color Mode", TYPE_STRING, KIND_INPUT, Value::ofString(colorModeName(colorMode)), false);
    const Vector3 c = getColor();
    list.push_back(floatLine("Color Red", KIND_SLIDER, c.x, 0, 1));
    list.push_back(floatLine("Color Green", KIND_SLIDER, c.y, 0, 1));
    list.push_back(floatLine("Color Blue", KIND_SLIDER, c.z, 0, 1));
    if (colorMode == 0) {
        list.push_back(boolLine("Random Start Color", randomStartColor));
    } else if (colorMode == 1) {
        list.push_back(floatLine("Fade Color Red", KIND_SLIDER, fadeColor.x, 0, 1));
        list.push_back(floatLine("Fade Color Green", KIND_SLIDER, fadeColor.y, 0, 1));
        list.push_back(floatLine("Fade Color Blue", KIND_SLIDER, fadeColor.z, 0, 1));
    } else {
        list.push_back(intLine("Color Iterations", KIND_SLIDER, colorIterations, 1, 30));
    }
}

ObjectParticleSystem::Field ObjectParticleSystem::field(const std::string& l) {
    Field r;
    struct B { const char* l; bool* p; };
    struct I { const char* l; int* p; };
    struct F { const char* l; float* p; };
    const B bools[] = {{"Enable Autostart", &autostart}, {"Enable Max Visible", &maxVisibleEnabled},
                       {"Enable Parts Max", &partsMaxEnabled}, {"Enable Emit Duration", &emitDurationEnabled},
                       {"Random Start Color", &randomStartColor}, {"Enable Alpha Fading", &alphaFading},
                       {"Enable Resurrection", &resurrection}, {"Edit Emit-Speed", &editEmitSpeed},
                       {"Edit Part-Lifespan", &editPartLifespan}, {"Edit Start-Rotation", &editStartRotation},
                       {"Edit Emit-Angle", &editEmitAngle}, {"Edit Emitter-Box", &editEmitterBox}};
    const I ints[] = {{"Parts Max", &partsMax}, {"Parts Max Visible", &maxVisible},
                      {"Color Iterations", &colorIterations}, {"Resurrect-Iterations", &resurrectIterations},
                      {"Resurrect-Parts", &resurrectParts}};
    const F floats[] = {{"Emitter-Length", &emitterSize.x}, {"Emitter-Width", &emitterSize.y},
                        {"Emitter-Height", &emitterSize.z}, {"Emit-Angle X", &emitAngle.x},
                        {"Emit-Angle Y", &emitAngle.y}, {"Emit-Speed", &emitSpeed},
                        {"Emit-Speed Var.", &emitSpeedVar}, {"Autostart Delay", &autostartDelay},
                        {"Parts Per Sec.", &partsPerSec}, {"Parts Per Sec. Var.", &partsPerSecVar},
                        {"Emit Duration", &emitDuration}, {"Start-Rotation X", &startRotation.x},
                        {"Start-Rotation Y", &startRotation.y}, {"Start-Rotation Z", &startRotation.z},
                        {"Start-Rotation X Var.", &startRotationVar.x},
                        {"Start-Rotation Y Var.", &startRotationVar.y},
                        {"Start-Rotation Z Var.", &startRotationVar.z}, {"Part-Lifespan", &lifespan},
                        {"Part-Lifespan Var.", &lifespanVar}, {"Fade Color Red", &fadeColor.x},
                        {"Fade Color Green", &fadeColor.y}, {"Fade Color Blue", &fadeColor.z},
                        {"Alpha Fading Begin", &alphaFadeBegin}, {"Alpha Fading End", &alphaFadeEnd},
                        {"Resurrect-Size", &resurrectSize}, {"Resurrect-Size Var.", &resurrectSizeVar}};
    for (const B& e : bools)
        if (l == e.l)
            r.b = e.p;
    for (const I& e : ints)
        if (l == e.l)
            r.i = e.p;
    for (const F& e : floats)
        if (l == e.l)
            r.f = e.p;
    return r;
}

NSMenu::MenuEntry ObjectParticleSystem::floatLine(const std::string& label, unsigned kind, float v, int lo, int hi,
                                                  bool enabled) {
    return NSMenu::MenuEntry(this, label, NSMenu::TYPE_FLOAT, kind, NSMenu::Value::ofFloat(v), enabled,
                             new NSMenu::ValueConstraintRange(lo, hi, float(lo), float(hi)));
}

NSMenu::MenuEntry ObjectParticleSystem::intLine(const std::string& label, unsigned kind, int v, int lo, int hi,
                                                bool enabled) {
    return NSMenu::MenuEntry(this, label, NSMenu::TYPE_INT, kind, NSMenu::Value::ofInt(v), enabled,
                             new NSMenu::ValueConstraintRange(lo, hi, float(lo), float(hi)));
}

NSMenu::MenuEntry ObjectParticleSystem::boolLine(const std::string& label, bool v) {
    return NSMenu::MenuEntry(this, label, NSMenu::TYPE_BOOL, NSMenu::KIND_BOOL, NSMenu::Value::ofBool(v), true);
}

} // namespace NSParticle
