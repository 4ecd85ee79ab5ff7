// Ogg Vorbis sounds decoded whole into memory, and the mixer thread that plays them.
#include "core/layer/Sound.h"

#include "core/layer/AudioOutput.h"
#include "core/layer/Streams.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

// One playback of a sound. Its fields belong to the mixer's lock.
struct TChannel {
    TSoundPtr sound;
    size_t frame = 0;
    bool playing = false;
};

namespace {

// A sound longer than this is refused: it would be hundreds of megabytes once decoded, and
// no sound of the game comes near it.
constexpr long long kLongestSoundSeconds = 600;
constexpr int kLowestRate = 8000, kHighestRate = 192000;

// ---- decoding ----

struct TMemorySource {
    const uint8_t* data;
    size_t size;
    size_t position;
};

size_t ReadMemory(void* dest, size_t itemSize, size_t items, void* source) {
    auto* s = static_cast<TMemorySource*>(source);
    if (itemSize == 0) return 0;
    size_t whole = std::min(items, (s->size - s->position) / itemSize);
    std::memcpy(dest, s->data + s->position, whole * itemSize);
    s->position += whole * itemSize;
    return whole;
}

// Linear interpolation to the mixer's rate; good enough for the odd file not made at 44100 Hz.
std::vector<int16_t> ResampleStereo(const std::vector<int16_t>& in, int rate) {
    size_t inFrames = in.size() / 2;
    if (inFrames == 0) return {};
    size_t outFrames = static_cast<size_t>((static_cast<unsigned long long>(inFrames - 1) * kAudioRate) / rate) + 1;
    std::vector<int16_t> out(outFrames * 2);
    for (size_t i = 0; i < outFrames; ++i) {
        unsigned long long at = static_cast<unsigned long long>(i) * rate;
        size_t k = static_cast<size_t>(at / kAudioRate);
        long long frac = static_cast<long long>(at % kAudioRate);
        size_t next = std::min(k + 1, inFrames - 1);
        for (int side = 0; side < 2; ++side) {
            long long a = in[k * 2 + side], b = in[next * 2 + side];
            out[i * 2 + side] = static_cast<int16_t>((a * (kAudioRate - frac) + b * frac) / kAudioRate);
        }
    }
    return out;
}

// ---- the mixer ----

struct TMixer {
    std::mutex lock;                 // guards everything below but the thread object
    std::condition_variable wake;    // a sound started, or the mixer should stop
    std::condition_variable ended;   // the thread left its loop
    std::vector<TChannelPtr> channels;
    TAudioOutputPtr output;
    std::string outputName;
    bool running = false;
    // Each start of the thread gets a new number; a thread whose number is no longer current
    // leaves its loop (so a hung one left behind never mixes beside its successor).
    unsigned generation = 1, finishedGeneration = 0;
    std::thread thread;
    std::mutex control;              // serialises starting and stopping
    bool exitHookInstalled = false;
    std::atomic<bool> everStarted{false};
};

// Never destroyed: the thread may still look at it while the process ends.
TMixer& Mixer() {
    static TMixer* mixer = new TMixer;
    return *mixer;
}

// Adds one block of every playing channel into the sum and retires the channels that ended.
void MixBlock(std::vector<TChannelPtr>& channels, std::vector<int32_t>& sum) {
    std::fill(sum.begin(), sum.end(), 0);
    for (auto& ch : channels) {
        const std::vector<int16_t>& s = ch->sound->samples;
        size_t total = s.size() / 2;
        size_t n = ch->frame < total ? std::min(total - ch->frame, kAudioBlockFrames) : 0;
        for (size_t i = 0; i < n * 2; ++i) sum[i] += s[ch->frame * 2 + i];
        ch->frame += n;
        if (ch->frame >= total) ch->playing = false;
    }
    channels.erase(std::remove_if(channels.begin(), channels.end(),
                                  [](const TChannelPtr& ch) { return !ch->playing; }),
                   channels.end());
}

void MixerLoop(unsigned generation) {
    TMixer& m = Mixer();
    std::vector<int32_t> sum(kAudioBlockFrames * 2);
    std::vector<uint8_t> block(kAudioBlockBytes);
    std::unique_lock<std::mutex> lk(m.lock);
    for (;;) {
        // Nothing playing: sleep until a sound starts rather than feeding the device silence.
        m.wake.wait(lk, [&] { return m.generation != generation || !m.channels.empty(); });
        if (m.generation != generation) break;
        MixBlock(m.channels, sum);
        TAudioOutput* out = m.output.get();
        lk.unlock();
        for (size_t i = 0; i < sum.size(); ++i) {
            int v = std::clamp(sum[i], -32768, 32767);
            block[i * 2] = static_cast<uint8_t>(v & 0xff);
            block[i * 2 + 1] = static_cast<uint8_t>((v >> 8) & 0xff);
        }
        bool ok = out->Write(block.data(), block.size());
        lk.lock();
        if (!ok && m.generation == generation) {
            // The device went away: keep the channels running at the clock's pace.
            m.output = OpenSilentOutput();
            m.outputName = m.output->Name();
        }
    }
    m.finishedGeneration = generation;
    m.ended.notify_all();
}

void StopMixerThread(TMixer& m) {
    std::unique_lock<std::mutex> lk(m.lock);
    if (!m.running) return;
    unsigned generation = m.generation++;
    m.wake.notify_all();
    // A block takes 23 ms; a device that does not return within two seconds is hung, and its
    // thread is left behind rather than keeping the program from ending.
    bool done = m.ended.wait_for(lk, std::chrono::seconds(2),
                                 [&] { return m.finishedGeneration == generation; });
    TAudioOutputPtr output = std::move(m.output);
    m.running = false;
    m.outputName.clear();
    lk.unlock();
    if (done) {
        m.thread.join();
        output.reset();
    } else {
        m.thread.detach();
        output.release();  // still in use by the hung thread
    }
}

void StopAudioDriverAtExit() { StopAudioDriver(); }

// Opens the output (the silent one when the named one fails) and starts the thread on it;
// says whether the named output opened.
bool StartMixerThread(TMixer& m, const std::string& which) {
    TAudioOutputPtr output = OpenAudioOutput(which);
    bool opened = output != nullptr;
    if (!output) output = OpenSilentOutput();
    unsigned generation;
    {
        std::lock_guard<std::mutex> lk(m.lock);
        m.output = std::move(output);
        m.outputName = m.output->Name();
        m.running = true;
        generation = m.generation;
    }
    m.thread = std::thread(MixerLoop, generation);
    m.everStarted = true;
    // The thread is stopped before the process ends, so no device is left half-written.
    if (!m.exitHookInstalled) {
        m.exitHookInstalled = true;
        std::atexit(StopAudioDriverAtExit);
    }
    return opened;
}

}  // namespace

TSoundPtr DecodeSoundFromMemory(const uint8_t* data, size_t size) {
    if (!data || size == 0) return nullptr;
    TMemorySource source{data, size, 0};
    // Read front to back like a pipe: no bisection over page headers that may lie, the links
    // of a chained file come in order, and the decoder's seeking code, which leaks on some
    // damaged files, is never used. The length bound is kept while decoding instead.
    ov_callbacks callbacks{ReadMemory, nullptr, nullptr, nullptr};
    OggVorbis_File vf;
    if (ov_open_callbacks(&source, &vf, nullptr, 0, callbacks) < 0) return nullptr;

    vorbis_info* info = ov_info(&vf, -1);
    if (!info || info->channels < 1 || info->channels > 2 || info->rate < kLowestRate || info->rate > kHighestRate) {
        ov_clear(&vf);
        return nullptr;
    }
    const int channels = info->channels;
    const int rate = static_cast<int>(info->rate);
    const long long longest = kLongestSoundSeconds * rate;

    auto sound = std::make_shared<TSound>();
    sound->channels = channels;
    char buffer[8192];
    int16_t samples[sizeof buffer / 2];
    const int hostBigEndian = __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__ ? 1 : 0;
    int link = 0, holes = 0;
    bool tooLong = false;
    for (;;) {
        long n = ov_read(&vf, buffer, sizeof buffer, hostBigEndian, 2, 1, &link);
        if (n == OV_HOLE && ++holes < 64) continue;  // a gap in damaged data; go on after it
        if (n <= 0) break;                             // the end, or damage we cannot pass
        // A chained file may change its format between links; keep what came before.
        vorbis_info* now = ov_info(&vf, -1);
        if (!now || now->channels != channels || now->rate != rate) break;
        size_t frames = static_cast<size_t>(n) / (2 * channels);
        std::memcpy(samples, buffer, frames * channels * 2);
        if (static_cast<long long>(sound->FrameCount() + frames) > longest) {
            tooLong = true;
            break;
        }
        if (channels == 2) {
            sound->samples.insert(sound->samples.end(), samples, samples + frames * 2);
        } else {
            // A mono sound plays the same on both sides.
            for (size_t i = 0; i < frames; ++i) {
                sound->samples.push_back(samples[i]);
                sound->samples.push_back(samples[i]);
            }
        }
    }
    ov_clear(&vf);
    if (tooLong || sound->samples.empty()) return nullptr;
    if (rate != kAudioRate) sound->samples = ResampleStereo(sound->samples, rate);
    // The samples are now at the mixer's rate, whatever the file had.
    sound->rate = kAudioRate;
    return sound;
}

TSoundPtr LoadSoundFromSource(const std::string& path, int /*flags*/) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeSource(path, bytes)) return nullptr;
    return DecodeSoundFromMemory(bytes.data(), bytes.size());
}

namespace {
std::string& PreferredOutput() {
    static std::string which;
    return which;
}
}  // namespace

void InitOggLoaderModule() {}

void InitAudioDriverModule() {
    TMixer& m = Mixer();
    std::lock_guard<std::mutex> control(m.control);
    {
        std::lock_guard<std::mutex> lk(m.lock);
        if (m.running) return;
    }
    // The first output that opens, unless a test asked for one.
    StartMixerThread(m, PreferredOutput());
}

void PreferAudioOutput(const std::string& which) { PreferredOutput() = which; }

bool RestartAudioDriver(const std::string& which) {
    TMixer& m = Mixer();
    std::lock_guard<std::mutex> control(m.control);
    StopMixerThread(m);
    return StartMixerThread(m, which);
}

void StopAudioDriver() {
    TMixer& m = Mixer();
    std::lock_guard<std::mutex> control(m.control);
    StopMixerThread(m);
}

std::string AudioOutputName() {
    TMixer& m = Mixer();
    std::lock_guard<std::mutex> lk(m.lock);
    return m.outputName;
}

TChannelPtr PlaySoundOnce(const TSoundPtr& sound, const TChannelPtr& /*unused*/) {
    // A game that plays before starting the driver still gets its sound. Once the driver has
    // been stopped (at exit, or by a test) it is not started again behind anyone's back.
    if (!Mixer().everStarted) InitAudioDriverModule();
    auto channel = std::make_shared<TChannel>();
    if (!sound || sound->FrameCount() == 0) return channel;  // nothing to play: already ended
    TMixer& m = Mixer();
    std::lock_guard<std::mutex> lk(m.lock);
    channel->sound = sound;
    channel->playing = true;
    m.channels.push_back(channel);
    m.wake.notify_one();
    return channel;
}

void StopSoundChannel(const TChannelPtr& channel) {
    if (!channel) return;
    TMixer& m = Mixer();
    std::lock_guard<std::mutex> lk(m.lock);
    if (!channel->playing) return;
    channel->playing = false;
    m.channels.erase(std::remove(m.channels.begin(), m.channels.end(), channel), m.channels.end());
}

int IsChannelPlaying(const TChannelPtr& channel) {
    if (!channel) return 0;
    TMixer& m = Mixer();
    std::lock_guard<std::mutex> lk(m.lock);
    return channel->playing ? 1 : 0;
}

std::vector<TSoundPtr> PlayingSounds() {
    TMixer& m = Mixer();
    std::lock_guard<std::mutex> lk(m.lock);
    std::vector<TSoundPtr> sounds;
    for (const TChannelPtr& ch : m.channels) sounds.push_back(ch->sound);
    return sounds;
}
