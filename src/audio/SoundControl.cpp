#include "audio/SoundControl.h"

#include <sstream>

#include "shell/Log.h"
#include "shell/SafeFile.h"

namespace NSAudio {

namespace {

// Cues waiting for the player; a menu clicked faster than frames come
// keeps only this many.
constexpr size_t kMaxCues = 8;

} // namespace

SoundControl& SoundControl::instance() {
    static SoundControl control;
    return control;
}

void SoundControl::load(const std::string& file) {
    path = file;
    muted = false;
    volumeStep = kVolumeSteps;
    // Read only from a regular file: a pipe or a link there is refused.
    std::string text, problem;
    const NSFile::Read read = NSFile::readFile(path, text, 4096, &problem);
    if (read != NSFile::Read::Whole) {
        if (read == NSFile::Read::Refused)
            log(LOG_ERROR, "Sound: %s %s; the settings start as new\n", path.c_str(), problem.c_str());
        return;
    }
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string key;
        int value = 0;
        char rest = 0;
        if (!(fields >> key >> value) || (fields >> rest) || value < 0 ||
            (key == "muted" && value > 1) || (key == "volume" && value > kVolumeSteps) ||
            (key != "muted" && key != "volume")) {
            log(LOG_ERROR, "Sound: line %d of %s is not understood and is skipped: \"%s\"\n", number, path.c_str(),
                line.substr(0, 60).c_str());
            continue;
        }
        if (key == "muted")
            muted = value == 1;
        else
            volumeStep = value;
    }
}

bool SoundControl::save() const {
    const std::string text = "# Quibbleton sound settings\nmuted " + std::to_string(muted ? 1 : 0) + "\nvolume " +
                             std::to_string(volumeStep) + "\n";
    std::string problem;
    if (NSFile::writeFile(path, text, &problem))
        return true;
    log(LOG_ERROR, "Sound: the settings could not be saved to %s (%s)\n", path.c_str(), problem.c_str());
    return false;
}

void SoundControl::setMuted(bool m) {
    muted = m;
    log(LOG_GAME, "Sound: %s\n", muted ? "muted" : "on");
    save();
}

void SoundControl::setVolumeStep(int step) {
    volumeStep = step < 0 ? 0 : (step > kVolumeSteps ? kVolumeSteps : step);
    log(LOG_GAME, "Sound: volume %d of %d\n", volumeStep, kVolumeSteps);
    save();
}

bool SoundControl::setMenuValue(std::string label, NSMenu::MenuEntry::Value value) {
    if (label == "Sound")
        setMuted(!value.boolValue);
    else if (label == "Volume")
        setVolumeStep(value.intValue);
    else
        return false;
    return true;
}

NSMenu::MenuEntry::Value SoundControl::getMenuValue(std::string label) {
    using Value = NSMenu::MenuEntry::Value;
    return label == "Volume" ? Value::ofInt(volumeStep) : Value::ofBool(!muted);
}

void SoundControl::getMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool) {
    using namespace NSMenu;
    list.emplace_back(nullptr, "SOUND", TYPE_BOOL, KIND_HEADER, MenuEntry::Value(), true);
    list.emplace_back(this, "Sound", TYPE_BOOL, KIND_BOOL, getMenuValue("Sound"), true);
    list.emplace_back(this, "Volume", TYPE_INT, KIND_SLIDER, getMenuValue("Volume"), true,
                      new ValueConstraintRange(0, kVolumeSteps));
}

void SoundControl::cue(Cue c) {
    if (cues.size() < kMaxCues)
        cues.push_back(c);
}

std::vector<Cue> SoundControl::takeCues() {
    std::vector<Cue> out;
    out.swap(cues);
    return out;
}

} // namespace NSAudio
