#pragma once
// Building blocks of the synthesised sounds: damped partials, shaped noise
// and simple filters. Noise comes from the integer hash, so every run makes
// the same samples.

#include <cstdint>

#include "assets/Wav.h"

namespace NSAssets {

// Silence of the given length in seconds.
Samples silence(float seconds);
int sampleCount(float seconds);

// Adds a sine of frequency hz starting at `at` seconds, with amplitude amp
// decaying by e every `decay` seconds (0: no decay) and a short attack.
void addPartial(Samples& s, float at, float hz, float amp, float decay);
// Adds a sine whose frequency glides exponentially from hz0 to hz1 over the
// whole sound, with an envelope rising over `attack` and falling over
// `release` seconds at either end.
void addGlide(Samples& s, float hz0, float hz1, float amp, float attack, float release);
// White noise in -1..1, repeatable from seed.
Samples noise(int count, uint32_t seed);
// Resonant band-pass (two-pole) around hz with quality q. With wrap, the
// filter runs over the samples twice and keeps the second pass, so a loop's
// end flows into its start.
Samples bandPass(const Samples& in, float hz, float q, bool wrap);
// One-pole low-pass with cut-off hz; wrap as above.
Samples lowPass(const Samples& in, float hz, bool wrap);
// Multiplies by an envelope: exp(-(t - at) / decay) after `at`, 0 before.
void decayFrom(Samples& s, float at, float decay);
// s += other * gain, other starting at `at` seconds (clipped to s).
void mixInto(Samples& s, const Samples& other, float at, float gain);
// Scales so that the largest magnitude is peak.
void normalise(Samples& s, float peak);
// Fades the last `seconds` out, so a one-shot ends at rest.
void fadeOut(Samples& s, float seconds);

} // namespace NSAssets
