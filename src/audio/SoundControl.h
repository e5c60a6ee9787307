#pragma once
// What the rest of the game asks of the sound, without knowing how it is
// played: the player's mute switch and volume (kept in "sound.cfg" in the
// player's data folder, the working directory) and cues that are not tied
// to an object, such as the menu's click. The player (AudioSystem) reads
// both once per frame. Depends on nothing but the log.
#include <string>
#include <vector>

#include "editable/MenuConfigureable.h"

namespace NSAudio {

enum class Cue { MenuClick };

// Also the owner of the menu's sound lines ("Sound", "Volume"), so the menu
// shows the setting however it was changed.
class SoundControl : public NSMenu::MenuConfigureable {
public:
    static constexpr const char* kSettingsFile = "sound.cfg";
    static constexpr int kVolumeSteps = 10;

    static SoundControl& instance();

    // Reads the settings file, which later changes are saved to. A missing
    // file gives the defaults (sound on, full volume); a line that is not
    // understood is reported and skipped.
    void load(const std::string& path = kSettingsFile);
    // Writes through a temporary file, so a failed save keeps the old one.
    bool save() const;

    bool isMuted() const { return muted; }
    // Volume in steps of a tenth: 0 to kVolumeSteps.
    int getVolumeStep() const { return volumeStep; }
    float gain() const { return muted ? 0.0f : static_cast<float>(volumeStep) / kVolumeSteps; }
    // Both change the setting and save it.
    void setMuted(bool m);
    void setVolumeStep(int step);
    void toggleMute() { setMuted(!muted); }

    bool setMenuValue(std::string label, NSMenu::MenuEntry::Value value) override;
    NSMenu::MenuEntry::Value getMenuValue(std::string label) override;
    // A header and the two lines.
    void getMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    unsigned getMenuFlags() override { return 0; }
    std::string getMenuPicture() override { return ""; }

    void cue(Cue c);
    // The cues since the last call, oldest first.
    std::vector<Cue> takeCues();

private:
    SoundControl() = default;

    bool muted = false;
    int volumeStep = kVolumeSteps;
    std::string path = kSettingsFile;
    std::vector<Cue> cues;
};

} // namespace NSAudio
