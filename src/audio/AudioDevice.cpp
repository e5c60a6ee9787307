#include "audio/AudioDevice.h"

#include <AL/al.h>
#include <AL/alc.h>

#include "audio/WavFile.h"
#include "shell/Log.h"

namespace NSAudio {

namespace {

constexpr const char* kFiles[] = {"impact_wood.wav",  "impact_ball.wav", "impact_bowling.wav", "springboard.wav",
                                  "belt_loop.wav",    "fan_loop.wav",    "tesla_loop.wav",     "goal.wav",
                                  "win.wav",          "click.wav",       "machine_start.wav",  "machine_stop.wav"};
static_assert(sizeof kFiles / sizeof kFiles[0] == static_cast<size_t>(Sound::Count), "one file per sound");

// Scene units are small (a basketball is 11.5 across its radius, a room 300
// wide): sounds keep their full level across the room and fade gently
// beyond, so the camera's usual distance takes little from them.
constexpr float kReferenceDistance = 300.0f;
constexpr float kRolloff = 0.6f;

// By sound, in the order of Sound. The impacts' files are as loud as each
// other already; the springboard's twang is far louder than a knock. The
// start, stop and click gains bring their loudness (EBU R128, momentary) to
// about -25.5 LUFS: some 2 LU below a full-speed knock on wood close by, 3
// above the knocks of level 1 seen from its camera.
constexpr float kMixGains[] = {1.0f, 1.0f, 1.0f, 0.5f, 1.0f, 1.0f, 1.0f, 0.5f, 0.5f, 0.72f, 0.15f, 0.14f};
static_assert(sizeof kMixGains / sizeof kMixGains[0] == static_cast<size_t>(Sound::Count), "one gain per sound");

bool valid(int v) { return v >= 0 && v < AudioDevice::kVoices; }

} // namespace

const char* soundFile(Sound sound) { return kFiles[static_cast<size_t>(sound)]; }

float mixGain(Sound sound) { return sound < Sound::Count ? kMixGains[static_cast<size_t>(sound)] : 0.0f; }

AudioDevice::~AudioDevice() { close(); }

bool AudioDevice::open(const std::string& folder) {
    if (isOpen())
        return true;
    ALCdevice* dev = alcOpenDevice(nullptr);
    if (!dev)
        return false;
    ALCcontext* ctx = alcCreateContext(dev, nullptr);
    if (!ctx || !alcMakeContextCurrent(ctx)) {
        if (ctx)
            alcDestroyContext(ctx);
        alcCloseDevice(dev);
        return false;
    }
    device = dev;
    context = ctx;
    const ALCchar* spec = alcGetString(dev, ALC_DEVICE_SPECIFIER);
    name = spec ? spec : "";
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    alGenSources(kVoices, sources.data());
    alGenBuffers(static_cast<ALsizei>(buffers.size()), buffers.data());
    for (size_t i = 0; i < buffers.size(); ++i) {
        WavData wav;
        std::string error;
        if (!readWavFile(folder + kFiles[i], wav, error)) {
            log(LOG_ERROR, "Sound: %s; that sound stays silent\n", error.c_str());
            alDeleteBuffers(1, &buffers[i]);
            buffers[i] = 0;
            continue;
        }
        alBufferData(buffers[i], wav.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, wav.samples.data(),
                     static_cast<ALsizei>(wav.samples.size() * sizeof(int16_t)), wav.rate);
    }
    for (unsigned s : sources) {
        alSourcef(s, AL_REFERENCE_DISTANCE, kReferenceDistance);
        alSourcef(s, AL_ROLLOFF_FACTOR, kRolloff);
    }
    if (alGetError() != AL_NO_ERROR)
        log(LOG_ERROR, "Sound: OpenAL reported an error while loading the sounds\n");
    return true;
}

void AudioDevice::close() {
    if (!isOpen())
        return;
    alSourceStopv(kVoices, sources.data());
    alDeleteSources(kVoices, sources.data());
    for (unsigned& b : buffers)
        if (b)
            alDeleteBuffers(1, &b);
    buffers.fill(0);
    sources.fill(0);
    voices.fill(Voice());
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(static_cast<ALCcontext*>(context));
    alcCloseDevice(static_cast<ALCdevice*>(device));
    context = nullptr;
    device = nullptr;
}

void AudioDevice::setListener(const Vector3& eye, const Vector3& target, const Vector3& upPoint, float gain) {
    if (!isOpen())
        return;
    const Vector3 at = target - eye;
    const Vector3 up = upPoint - eye;
    const ALfloat orientation[6] = {at.x, at.y, at.z, up.x, up.y, up.z};
    alListener3f(AL_POSITION, eye.x, eye.y, eye.z);
    alListenerfv(AL_ORIENTATION, orientation);
    alListenerf(AL_GAIN, gain);
}

void AudioDevice::play(int v, Sound sound, const Vector3& pos, bool relative, float gain, float pitch, bool loop,
                       float level) {
    if (!isOpen() || !valid(v))
        return;
    Voice& voice = voices[static_cast<size_t>(v)];
    voice.gain = gain;
    voice.level = Fade(level);
    const unsigned s = sources[static_cast<size_t>(v)];
    alSourceStop(s);
    alSourcei(s, AL_BUFFER, static_cast<ALint>(buffers[static_cast<size_t>(sound)]));
    if (!buffers[static_cast<size_t>(sound)])
        return;
    alSourcei(s, AL_SOURCE_RELATIVE, relative ? AL_TRUE : AL_FALSE);
    alSource3f(s, AL_POSITION, pos.x, pos.y, pos.z);
    alSourcef(s, AL_GAIN, gain * voice.scale * level);
    alSourcef(s, AL_PITCH, pitch);
    alSourcei(s, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    alSourcePlay(s);
}

void AudioDevice::place(int v, const Vector3& pos) {
    if (isOpen() && valid(v))
        alSource3f(sources[static_cast<size_t>(v)], AL_POSITION, pos.x, pos.y, pos.z);
}

void AudioDevice::setPitch(int v, float pitch) {
    if (isOpen() && valid(v))
        alSourcef(sources[static_cast<size_t>(v)], AL_PITCH, pitch);
}

void AudioDevice::applyGain(int v) {
    const Voice& voice = voices[static_cast<size_t>(v)];
    if (isOpen())
        alSourcef(sources[static_cast<size_t>(v)], AL_GAIN, voice.gain * voice.scale * voice.level.value());
}

void AudioDevice::setScale(int v, float scale) {
    if (!valid(v))
        return;
    voices[static_cast<size_t>(v)].scale = scale;
    applyGain(v);
}

void AudioDevice::fadeTo(int v, float level) {
    if (valid(v))
        voices[static_cast<size_t>(v)].level.setTarget(level);
}

bool AudioDevice::isFadedOut(int v) const { return valid(v) && voices[static_cast<size_t>(v)].level.isSilent(); }

void AudioDevice::advanceFades(double seconds) {
    for (int v = 0; v < kVoices; ++v) {
        Fade& level = voices[static_cast<size_t>(v)].level;
        const bool moving = !level.isSettled();
        level.advance(seconds);
        if (moving)
            applyGain(v);
    }
}

static ALint stateOf(unsigned source) {
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

bool AudioDevice::isPlaying(int v) const {
    return isOpen() && valid(v) && stateOf(sources[static_cast<size_t>(v)]) == AL_PLAYING;
}

bool AudioDevice::isPaused(int v) const {
    return isOpen() && valid(v) && stateOf(sources[static_cast<size_t>(v)]) == AL_PAUSED;
}

float AudioDevice::gainOf(int v) const { return valid(v) ? voices[static_cast<size_t>(v)].gain : 0.0f; }

float AudioDevice::pitchOf(int v) const {
    float pitch = 0.0f;
    if (isOpen() && valid(v))
        alGetSourcef(sources[static_cast<size_t>(v)], AL_PITCH, &pitch);
    return pitch;
}

Vector3 AudioDevice::placeOf(int v) const {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    if (isOpen() && valid(v))
        alGetSource3f(sources[static_cast<size_t>(v)], AL_POSITION, &x, &y, &z);
    return Vector3(x, y, z);
}

void AudioDevice::stop(int v) {
    if (isOpen() && valid(v))
        alSourceStop(sources[static_cast<size_t>(v)]);
}

void AudioDevice::pause(int v) {
    if (isOpen() && valid(v) && stateOf(sources[static_cast<size_t>(v)]) == AL_PLAYING)
        alSourcePause(sources[static_cast<size_t>(v)]);
}

void AudioDevice::resume(int v) {
    if (isOpen() && valid(v) && stateOf(sources[static_cast<size_t>(v)]) == AL_PAUSED)
        alSourcePlay(sources[static_cast<size_t>(v)]);
}

} // namespace NSAudio
