// Sounds decoded into memory and played on channels by the mixer thread.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TSound {
    int channels = 0;                 // 1 or 2 in the source
    int rate = 44100;
    std::vector<int16_t> samples;     // interleaved stereo after loading
    size_t FrameCount() const { return samples.size() / 2; }
};
using TSoundPtr = std::shared_ptr<TSound>;
struct TChannel;
using TChannelPtr = std::shared_ptr<TChannel>;

// Decodes an Ogg Vorbis file (or "incbin::" entry); none when it is not one.
TSoundPtr LoadSoundFromSource(const std::string& path, int flags);
TSoundPtr DecodeSoundFromMemory(const uint8_t* data, size_t size);
// Plays the sound once on a new channel (the second argument is unused, pass nullptr).
TChannelPtr PlaySoundOnce(const TSoundPtr& sound, const TChannelPtr& unused);
void StopSoundChannel(const TChannelPtr& channel);
// Whether the channel still plays.
int IsChannelPlaying(const TChannelPtr& channel);

void InitOggLoaderModule();
void InitAudioDriverModule();
// Which output the mixer writes to: "dsp", "alsa" or "silent" (empty before start).
std::string AudioOutputName();
