// Where the mixer's blocks go: the OSS device, ALSA, or nothing at the pace of the clock.
// Internal to the layer (and its tests); the game only sees Sound.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/layer/Sound.h"

// Every output takes 16-bit little-endian interleaved stereo at this rate.
constexpr int kAudioRate = 44100;
constexpr size_t kAudioBlockBytes = 4096;
constexpr size_t kAudioBlockFrames = kAudioBlockBytes / 4;

class TAudioOutput {
public:
    virtual ~TAudioOutput() = default;
    // "dsp", "alsa" or "silent".
    virtual const char* Name() const = 0;
    // Plays one block; returns when the output can take the next one, so it paces the mixer.
    // False when the output broke for good.
    virtual bool Write(const uint8_t* bytes, size_t size) = 0;
};
using TAudioOutputPtr = std::unique_ptr<TAudioOutput>;

// Each gives null when the output cannot be opened and set to our format.
TAudioOutputPtr OpenDspOutput(const char* devicePath = "/dev/dsp");
TAudioOutputPtr OpenAlsaOutput(const char* deviceName = "default");
TAudioOutputPtr OpenSilentOutput();
// "dsp", "alsa" or "silent" opens that one (null when it fails); anything else tries them in
// that order and always gives one. The OSS device is looked for at dspPath.
TAudioOutputPtr OpenAudioOutput(const std::string& which, const char* dspPath = "/dev/dsp");

// Stops the mixer if it runs, then starts it on the named output ("" or "auto": the first that
// opens). Returns whether that output opened (the mixer then runs on the silent one). For tests
// and for choosing the output from the environment.
bool RestartAudioDriver(const std::string& which);
// The output InitAudioDriverModule starts ("dsp", "alsa", "silent"; empty: the first that opens).
void PreferAudioOutput(const std::string& which);
// Stops the mixer thread and closes the output; channels still playing stay where they are.
void StopAudioDriver();
// The sounds of the channels that play now, in the order they started: lets tests see what a
// screen started (with the driver stopped, nothing ends on its own).
std::vector<TSoundPtr> PlayingSounds();
