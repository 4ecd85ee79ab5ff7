// The three audio outputs. Most desktops have no OSS device any more, so ALSA "default" (which
// reaches the desktop's sound server) comes next, and a silent output paced by the clock makes
// the mixer and its channels behave the same on machines without any sound at all.
#include "core/layer/AudioOutput.h"

#include <alsa/asoundlib.h>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

#if __has_include(<sys/soundcard.h>)
#include <sys/soundcard.h>
#elif __has_include(<linux/soundcard.h>)
#include <linux/soundcard.h>
#else
// The OSS requests we need, as the kernel defines them.
#define SNDCTL_DSP_SPEED _IOWR('P', 2, int)
#define SNDCTL_DSP_SETFMT _IOWR('P', 5, int)
#define SNDCTL_DSP_CHANNELS _IOWR('P', 6, int)
#define AFMT_S16_LE 0x00000010
#endif

namespace {

// A device may round the rate a little; more than this would change the pitch audibly.
bool RateCloseEnough(int rate) { return rate >= kAudioRate * 99 / 100 && rate <= kAudioRate * 101 / 100; }

class TDspOutput : public TAudioOutput {
public:
    explicit TDspOutput(int fd) : fd_(fd) {}
    ~TDspOutput() override { close(fd_); }
    const char* Name() const override { return "dsp"; }
    bool Write(const uint8_t* bytes, size_t size) override {
        while (size > 0) {
            ssize_t n = write(fd_, bytes, size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            bytes += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }

private:
    int fd_;
};

// ALSA reports every failed configuration lookup on stderr; a missing sound card is normal here.
void QuietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

class TAlsaOutput : public TAudioOutput {
public:
    explicit TAlsaOutput(snd_pcm_t* pcm) : pcm_(pcm) {}
    ~TAlsaOutput() override {
        snd_pcm_drain(pcm_);
        snd_pcm_close(pcm_);
    }
    const char* Name() const override { return "alsa"; }
    bool Write(const uint8_t* bytes, size_t size) override {
        snd_pcm_uframes_t left = size / 4;
        // An underrun (the mixer idles whenever nothing plays) is recovered and the block
        // written again; a device that keeps failing counts as broken.
        int failures = 0;
        while (left > 0) {
            snd_pcm_sframes_t n = snd_pcm_writei(pcm_, bytes, left);
            if (n < 0) {
                if (++failures > 8 || snd_pcm_recover(pcm_, static_cast<int>(n), 1) < 0) return false;
                continue;
            }
            if (n == 0 && ++failures > 8) return false;
            bytes += static_cast<size_t>(n) * 4;
            left -= static_cast<snd_pcm_uframes_t>(n);
        }
        return true;
    }

private:
    snd_pcm_t* pcm_;
};

class TSilentOutput : public TAudioOutput {
public:
    const char* Name() const override { return "silent"; }
    bool Write(const uint8_t*, size_t size) override {
        using namespace std::chrono;
        auto now = steady_clock::now();
        // The schedule restarts when the mixer was idle or fell far behind, as a device's
        // buffer would run empty; otherwise blocks are due at the exact rate of the frames.
        if (framesDue_ == 0 || now > Due() + milliseconds(200)) {
            start_ = now;
            framesDue_ = 0;
        }
        framesDue_ += size / 4;
        std::this_thread::sleep_until(Due());
        return true;
    }

private:
    std::chrono::steady_clock::time_point Due() const {
        return start_ + std::chrono::nanoseconds(static_cast<long long>(framesDue_) * 1000000000LL / kAudioRate);
    }
    std::chrono::steady_clock::time_point start_;
    unsigned long long framesDue_ = 0;
};

}  // namespace

TAudioOutputPtr OpenDspOutput(const char* devicePath) {
    // Non-blocking open so a device held by another program fails at once instead of hanging.
    int fd = open(devicePath, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    int flags = fcntl(fd, F_GETFL);
    int format = AFMT_S16_LE, channels = 2, rate = kAudioRate;
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0 ||
        ioctl(fd, SNDCTL_DSP_SETFMT, &format) < 0 || format != AFMT_S16_LE ||
        ioctl(fd, SNDCTL_DSP_CHANNELS, &channels) < 0 || channels != 2 ||
        ioctl(fd, SNDCTL_DSP_SPEED, &rate) < 0 || !RateCloseEnough(rate)) {
        close(fd);
        return nullptr;
    }
    return TAudioOutputPtr(new TDspOutput(fd));
}

TAudioOutputPtr OpenAlsaOutput(const char* deviceName) {
    snd_lib_error_set_handler(QuietAlsaErrors);
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, deviceName, SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return nullptr;
    // 100 ms of buffer: short enough that effects follow the clicks, long enough not to skip.
    if (snd_pcm_nonblock(pcm, 0) < 0 ||
        snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 2, kAudioRate, 1,
                           100000) < 0) {
        snd_pcm_close(pcm);
        return nullptr;
    }
    return TAudioOutputPtr(new TAlsaOutput(pcm));
}

TAudioOutputPtr OpenSilentOutput() { return TAudioOutputPtr(new TSilentOutput); }

TAudioOutputPtr OpenAudioOutput(const std::string& which, const char* dspPath) {
    if (which == "dsp") return OpenDspOutput(dspPath);
    if (which == "alsa") return OpenAlsaOutput();
    if (which == "silent") return OpenSilentOutput();
    if (auto out = OpenDspOutput(dspPath)) return out;
    if (auto out = OpenAlsaOutput()) return out;
    return OpenSilentOutput();
}
