// Decoding Ogg Vorbis into stereo sounds, and the mixer playing them on its outputs.
#include "core/layer/AudioOutput.h"
#include "core/layer/Sound.h"
#include "core/layer/Streams.h"
#include "tests/core/layer/ogg_maker.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

int Peak(const TSound& s, int side) {
    int peak = 0;
    for (size_t i = 0; i < s.FrameCount(); ++i) peak = std::max(peak, std::abs(int(s.samples[i * 2 + side])));
    return peak;
}

std::string TempDir() {
    char pattern[] = "/tmp/plarn-sound-XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir ? dir : "/tmp";
}

// Waits until the channel ends; returns whether it did. The limit only stops a hang: the sounds
// here last a second at most, however busy the machine.
constexpr std::chrono::seconds kHangGuard(60);
bool WaitUntilEnded(const TChannelPtr& ch, std::chrono::milliseconds limit) {
    auto until = std::chrono::steady_clock::now() + limit;
    while (IsChannelPlaying(ch)) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// An exact sound (no codec in between) holding one value per side.
TSoundPtr ConstantSound(int16_t left, int16_t right, size_t frames) {
    auto s = std::make_shared<TSound>();
    s->channels = 2;
    for (size_t i = 0; i < frames; ++i) {
        s->samples.push_back(left);
        s->samples.push_back(right);
    }
    return s;
}

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

}  // namespace

TEST(SoundDecoding, StereoKeepsLengthAndSides) {
    // 0.1 s with a tone on the left only: both sides must stay where they were.
    auto ogg = MakeOgg(2, 44100, 4410, [](int c, long i) { return c == 0 ? TestTone(440, 44100, i) : 0.0f; });
    auto s = DecodeSoundFromMemory(ogg.data(), ogg.size());
    ASSERT_TRUE(s);
    EXPECT_EQ(s->channels, 2);
    EXPECT_EQ(s->rate, 44100);
    EXPECT_EQ(s->FrameCount(), 4410u);
    // Amplitude 0.5 is about 16384; a lossy codec lands near it.
    EXPECT_GT(Peak(*s, 0), 14000);
    EXPECT_LT(Peak(*s, 0), 19000);
    EXPECT_LT(Peak(*s, 1), 1000);
}

TEST(SoundDecoding, MonoPlaysTheSameOnBothSides) {
    auto ogg = MakeOgg(1, 44100, 3000, [](int, long i) { return TestTone(1000, 44100, i); });
    auto s = DecodeSoundFromMemory(ogg.data(), ogg.size());
    ASSERT_TRUE(s);
    EXPECT_EQ(s->channels, 1);
    ASSERT_EQ(s->FrameCount(), 3000u);
    ASSERT_EQ(s->samples.size(), 6000u);
    for (size_t i = 0; i < 3000; ++i) ASSERT_EQ(s->samples[i * 2], s->samples[i * 2 + 1]) << "frame " << i;
    EXPECT_GT(Peak(*s, 0), 14000);
}

TEST(SoundDecoding, OtherRatesAreResampledToTheMixerRate) {
    // 2205 frames at 22050 Hz span 2204 steps of 1/22050 s, which are 4408 steps at 44100 Hz.
    auto ogg = MakeOgg(1, 22050, 2205, [](int, long i) { return TestTone(441, 22050, i); });
    auto s = DecodeSoundFromMemory(ogg.data(), ogg.size());
    ASSERT_TRUE(s);
    EXPECT_EQ(s->channels, 1);
    EXPECT_EQ(s->rate, 44100);
    EXPECT_EQ(s->FrameCount(), 4409u);
    // 441 Hz for 0.1 s is 44.1 periods, two sign changes each.
    int changes = 0;
    for (size_t i = 1; i < s->FrameCount(); ++i)
        if ((s->samples[i * 2] >= 0) != (s->samples[(i - 1) * 2] >= 0)) ++changes;
    EXPECT_NEAR(changes, 88, 4);
}

TEST(SoundDecoding, ChainedFilesPlayEveryLinkOfTheFirstFormat) {
    auto first = MakeOgg(1, 44100, 3000, [](int, long i) { return TestTone(500, 44100, i); }, 1);
    auto same = MakeOgg(1, 44100, 2000, [](int, long i) { return TestTone(800, 44100, i); }, 2);
    auto other = MakeOgg(2, 32000, 2000, [](int, long i) { return TestTone(800, 32000, i); }, 3);
    auto both = first;
    both.insert(both.end(), same.begin(), same.end());
    auto s = DecodeSoundFromMemory(both.data(), both.size());
    ASSERT_TRUE(s);
    EXPECT_EQ(s->FrameCount(), 5000u);
    // A link in another format would be read with the wrong layout; the sound ends before it.
    auto mixed = first;
    mixed.insert(mixed.end(), other.begin(), other.end());
    s = DecodeSoundFromMemory(mixed.data(), mixed.size());
    ASSERT_TRUE(s);
    EXPECT_EQ(s->channels, 1);
    EXPECT_EQ(s->FrameCount(), 3000u);
}

TEST(SoundDecoding, RefusesWhatIsNotAPlayableOgg) {
    EXPECT_FALSE(DecodeSoundFromMemory(nullptr, 0));
    std::vector<uint8_t> junk(5000);
    for (size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<uint8_t>(i * 7 + 3);
    EXPECT_FALSE(DecodeSoundFromMemory(junk.data(), junk.size()));
    // Only the headers: nothing to play.
    auto ogg = MakeOgg(2, 44100, 44100, [](int, long i) { return TestTone(300, 44100, i); });
    EXPECT_FALSE(DecodeSoundFromMemory(ogg.data(), 60));
    // Three channels have no place in a stereo mixer.
    auto surround = MakeOgg(3, 44100, 2000, [](int, long i) { return TestTone(300, 44100, i); });
    ASSERT_FALSE(surround.empty());
    EXPECT_FALSE(DecodeSoundFromMemory(surround.data(), surround.size()));
}

TEST(SoundDecoding, TruncatedFileGivesThePartThatDecoded) {
    // Four seconds make enough pages that 60 % of the bytes hold whole pages of sound.
    auto ogg = MakeOgg(2, 44100, 176400, [](int c, long i) { return TestTone(300 + 100 * c, 44100, i); });
    auto s = DecodeSoundFromMemory(ogg.data(), ogg.size() * 6 / 10);
    ASSERT_TRUE(s);
    EXPECT_GT(s->FrameCount(), 20000u);
    EXPECT_LT(s->FrameCount(), 176400u);
}

TEST(SoundDecoding, RefusesSoundsLongerThanTenMinutes) {
    // Silence at the lowest accepted rate keeps the file small and quick to make.
    auto longer = MakeOgg(1, 8000, 8000L * 601, [](int, long) { return 0.0f; });
    ASSERT_FALSE(longer.empty());
    EXPECT_FALSE(DecodeSoundFromMemory(longer.data(), longer.size()));
}

TEST(SoundLoading, ReadsFilesAndEmbeddedEntries) {
    auto ogg = MakeOgg(1, 44100, 1000, [](int, long i) { return TestTone(500, 44100, i); });
    std::string dir = TempDir();
    std::string path = dir + "/beep.ogg";
    {
        std::ofstream f(path, std::ios::binary);
        f.write(reinterpret_cast<const char*>(ogg.data()), static_cast<std::streamsize>(ogg.size()));
    }
    auto fromFile = LoadSoundFromSource(path, 0);
    ASSERT_TRUE(fromFile);
    EXPECT_EQ(fromFile->FrameCount(), 1000u);
    EXPECT_FALSE(LoadSoundFromSource(path + ".missing", 0));

    static std::vector<uint8_t> embedded;
    embedded = ogg;
    ASSERT_EQ(RegisterEmbeddedFile("sounds/test-beep.ogg", embedded.data(), embedded.size()), 1);
    auto fromTable = LoadSoundFromSource("Incbin::sounds/test-beep.ogg", 0);
    ASSERT_TRUE(fromTable);
    EXPECT_EQ(fromTable->samples, fromFile->samples);
    std::remove(path.c_str());
    rmdir(dir.c_str());
}

TEST(SoundMixer, PlaysASoundToItsEndAtThePaceOfTheClock) {
    ASSERT_TRUE(RestartAudioDriver("silent"));
    EXPECT_EQ(AudioOutputName(), "silent");
    auto start = std::chrono::steady_clock::now();
    auto ch = PlaySoundOnce(ConstantSound(100, 100, 11025), nullptr);  // a quarter of a second
    EXPECT_EQ(IsChannelPlaying(ch), 1);
    ASSERT_TRUE(WaitUntilEnded(ch, kHangGuard));
    // 11025 frames are 10.8 blocks of 1024; the last block may still be under way. Never
    // sooner than the clock allows (a busy machine may only make it later).
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
}

TEST(SoundMixer, StoppingOneChannelLeavesTheOthers) {
    ASSERT_TRUE(RestartAudioDriver("silent"));
    auto first = PlaySoundOnce(ConstantSound(1, 1, 441000), nullptr);
    auto second = PlaySoundOnce(ConstantSound(2, 2, 441000), nullptr);
    EXPECT_EQ(IsChannelPlaying(first), 1);
    StopSoundChannel(first);
    EXPECT_EQ(IsChannelPlaying(first), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(IsChannelPlaying(second), 1);
    StopSoundChannel(first);  // twice is harmless
    StopSoundChannel(second);
    EXPECT_EQ(IsChannelPlaying(second), 0);

    // Nothing to play: a channel that has already ended, never a crash.
    auto none = PlaySoundOnce(nullptr, nullptr);
    EXPECT_EQ(IsChannelPlaying(none), 0);
    StopSoundChannel(none);
    StopSoundChannel(nullptr);
    EXPECT_EQ(IsChannelPlaying(nullptr), 0);
}

TEST(SoundMixer, SleepsWhileNothingPlays) {
    ASSERT_TRUE(RestartAudioDriver("silent"));
    auto ch = PlaySoundOnce(ConstantSound(5, 5, 2048), nullptr);
    ASSERT_TRUE(WaitUntilEnded(ch, kHangGuard));
    double before = ProcessCpuSeconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    // A mixer that spun would take the whole half second.
    EXPECT_LT(ProcessCpuSeconds() - before, 0.25);
}

TEST(AudioOutputs, RefuseWhatCannotBeSetUp) {
    std::string dir = TempDir();
    // A regular file opens but takes no sound-card settings.
    std::string plain = dir + "/not-a-device";
    std::ofstream(plain) << "x";
    EXPECT_FALSE(OpenDspOutput(plain.c_str()));
    EXPECT_FALSE(OpenDspOutput((dir + "/missing").c_str()));
    EXPECT_FALSE(OpenAlsaOutput("no_such_pcm_device"));
    // Left to choose, each that fails gives way to the next: no OSS device (or a file in its
    // place) to ALSA's default, and that failing too to the silent output.
    const char* oldHome = getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    setenv("HOME", dir.c_str(), 1);
    auto chosenWith = [&](const std::string& alsaDefault, const std::string& dsp) {
        std::ofstream(dir + "/.asoundrc") << "pcm.!default {\n" << alsaDefault << "\n}\n";
        snd_config_update_free_global();  // read the configuration again, with this HOME
        auto chosen = OpenAudioOutput("", dsp.c_str());
        return std::string(chosen ? chosen->Name() : "none");
    };
    const std::string toFile = " type file\n slave.pcm \"null\"\n file \"" + dir + "/played.raw\"\n format \"raw\"";
    EXPECT_EQ(chosenWith(toFile, dir + "/missing"), "alsa");
    EXPECT_EQ(chosenWith(toFile, plain), "alsa");
    EXPECT_EQ(chosenWith(" type hw\n card 99", dir + "/missing"), "silent");
    if (oldHome) setenv("HOME", savedHome.c_str(), 1); else unsetenv("HOME");
    snd_config_update_free_global();
    for (const char* name : {"/.asoundrc", "/played.raw", "/not-a-device"}) std::remove((dir + name).c_str());
    rmdir(dir.c_str());
}

// ALSA's "default" routed into its file plugin records exactly what the mixer wrote.
TEST(AudioOutputs, AlsaDefaultReceivesTheSaturatedMix) {
    std::string home = TempDir();
    std::string raw = home + "/played.raw";
    std::ofstream(home + "/.asoundrc") << "pcm.!default {\n type file\n slave.pcm \"null\"\n file \"" << raw
                                       << "\"\n format \"raw\"\n}\n";
    const char* oldHome = getenv("HOME");
    std::string savedHome = oldHome ? oldHome : "";
    // The device takes blocks as fast as they come, so the sounds are queued while the mixer
    // is stopped and all start in its first block.
    RestartAudioDriver("silent");
    StopAudioDriver();
    auto a = PlaySoundOnce(ConstantSound(20000, -20000, 22050), nullptr);
    auto b = PlaySoundOnce(ConstantSound(20000, -20000, 11025), nullptr);
    auto c = PlaySoundOnce(ConstantSound(-3000, 500, 22050), nullptr);
    setenv("HOME", home.c_str(), 1);
    snd_config_update_free_global();  // read the configuration again, with this HOME
    bool opened = RestartAudioDriver("alsa");
    if (oldHome) setenv("HOME", savedHome.c_str(), 1); else unsetenv("HOME");
    ASSERT_TRUE(opened);
    EXPECT_EQ(AudioOutputName(), "alsa");
    ASSERT_TRUE(WaitUntilEnded(a, kHangGuard));
    ASSERT_TRUE(WaitUntilEnded(c, kHangGuard));
    StopAudioDriver();
    snd_config_update_free_global();

    std::ifstream f(raw, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::remove(raw.c_str());
    std::remove((home + "/.asoundrc").c_str());
    rmdir(home.c_str());
    // Whole blocks of 4096 bytes: 22050 frames need 22 blocks of 1024.
    ASSERT_EQ(bytes.size(), 22u * 4096);
    auto frame = [&](size_t i, int side) {
        return static_cast<int16_t>(bytes[i * 4 + side * 2] | (bytes[i * 4 + side * 2 + 1] << 8));
    };
    for (size_t i = 0; i < bytes.size() / 4; ++i) {
        // All three: 37000 and -39500 lie outside 16 bits and must stick at the limits, not
        // wrap round to the other sign. After the second ends: 17000 and -19500 exactly.
        int left = i < 11025 ? 32767 : i < 22050 ? 17000 : 0;
        int right = i < 11025 ? -32768 : i < 22050 ? -19500 : 0;
        ASSERT_EQ(frame(i, 0), left) << "frame " << i;
        ASSERT_EQ(frame(i, 1), right) << "frame " << i;
    }
    EXPECT_FALSE(IsChannelPlaying(a) || IsChannelPlaying(b) || IsChannelPlaying(c));
}

TEST(SoundMixer, InitStartsOnceAndChannelsOutliveARestart) {
    StopAudioDriver();
    EXPECT_EQ(AudioOutputName(), "");
    PreferAudioOutput("silent");
    InitAudioDriverModule();
    InitAudioDriverModule();
    PreferAudioOutput("");
    EXPECT_EQ(AudioOutputName(), "silent");
    // A channel playing when the driver stops waits, and goes on when it starts again.
    auto ch = PlaySoundOnce(ConstantSound(1, 1, 4410), nullptr);
    StopAudioDriver();
    EXPECT_EQ(AudioOutputName(), "");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(IsChannelPlaying(ch), 1);
    EXPECT_TRUE(RestartAudioDriver("silent"));
    EXPECT_TRUE(WaitUntilEnded(ch, kHangGuard));
}

// Last in the file on purpose: the process ends while the mixer plays, which must be clean
// (the exit hook stops the thread; the sanitizers watch).
TEST(SoundAtExit, ProgramEndsWhileASoundPlays) {
    ASSERT_TRUE(RestartAudioDriver("silent"));
    EXPECT_EQ(IsChannelPlaying(PlaySoundOnce(ConstantSound(1, 1, 441000), nullptr)), 1);
}
