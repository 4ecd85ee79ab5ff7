// Damaged Ogg Vorbis files: every one must decode or be refused cleanly, never crash or hang.
#include "core/layer/Sound.h"
#include "tests/core/layer/ogg_maker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

namespace {

// Ogg pages carry a checksum; a damaged page would simply be skipped. Mending the checksums
// after a mutation lets the damage reach the codec itself.
uint32_t OggCrc(const uint8_t* p, size_t n) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t r = i << 24;
            for (int k = 0; k < 8; ++k) r = (r & 0x80000000u) ? (r << 1) ^ 0x04c11db7u : r << 1;
            table[i] = r;
        }
        ready = true;
    }
    uint32_t crc = 0;
    for (size_t i = 0; i < n; ++i) crc = (crc << 8) ^ table[((crc >> 24) ^ p[i]) & 0xff];
    return crc;
}

void MendPageChecksums(std::vector<uint8_t>& b) {
    size_t at = 0;
    while (at + 27 <= b.size()) {
        if (b[at] != 'O' || b[at + 1] != 'g' || b[at + 2] != 'g' || b[at + 3] != 'S') {
            ++at;
            continue;
        }
        size_t segments = b[at + 26];
        if (at + 27 + segments > b.size()) return;
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i) body += b[at + 27 + i];
        size_t length = 27 + segments + body;
        if (at + length > b.size()) return;
        for (int i = 22; i < 26; ++i) b[at + i] = 0;
        uint32_t crc = OggCrc(b.data() + at, length);
        for (int i = 0; i < 4; ++i) b[at + 22 + i] = static_cast<uint8_t>(crc >> (8 * i));
        at += length;
    }
}

std::vector<uint8_t> Mutate(const std::vector<uint8_t>& base, std::mt19937& rng) {
    std::vector<uint8_t> b = base;
    auto pick = [&](size_t n) { return n == 0 ? size_t(0) : size_t(rng() % n); };
    // Mostly one edit, sometimes a few: heavy damage only ever meets the header check.
    int edits = rng() % 8 == 0 ? 2 + static_cast<int>(rng() % 3) : 1;
    for (int e = 0; e < edits && !b.empty(); ++e) {
        switch (rng() % 7) {
        case 0:  // a few flipped bits anywhere
        case 1:
            for (int k = 0, n = 1 + int(rng() % 3); k < n; ++k) b[pick(b.size())] ^= uint8_t(1u << (rng() % 8));
            break;
        case 2:  // bit flips in the headers, where sizes and codebooks live
            for (int k = 0, n = 1 + int(rng() % 4); k < n; ++k)
                b[pick(std::min<size_t>(b.size(), 4000))] ^= uint8_t(1u << (rng() % 8));
            break;
        case 3:  // truncation
            b.resize(pick(b.size()));
            break;
        case 4: {  // a run of junk bytes written over the data
            size_t at = pick(b.size()), n = std::min(b.size() - at, size_t(1 + rng() % 64));
            for (size_t i = 0; i < n; ++i) b[at + i] = uint8_t(rng());
            break;
        }
        case 5: {  // junk inserted
            size_t at = pick(b.size() + 1);
            std::vector<uint8_t> junk(1 + rng() % 300);
            for (auto& j : junk) j = (rng() % 4 == 0) ? uint8_t(0xff) : uint8_t(rng());
            b.insert(b.begin() + static_cast<long>(at), junk.begin(), junk.end());
            break;
        }
        default: {  // a stretch repeated elsewhere (whole pages out of order)
            size_t from = pick(b.size()), n = std::min(b.size() - from, size_t(1 + rng() % 2000));
            std::vector<uint8_t> piece(b.begin() + static_cast<long>(from), b.begin() + static_cast<long>(from + n));
            size_t to = pick(b.size() + 1);
            b.insert(b.begin() + static_cast<long>(to), piece.begin(), piece.end());
            break;
        }
        }
    }
    if (rng() % 2 == 0) MendPageChecksums(b);
    return b;
}

}  // namespace

TEST(OggFuzz, DamagedFilesDecodeOrAreRefused) {
    std::vector<std::vector<uint8_t>> bases;
    // Small pages, so that damage to one page does not take all of the sound with it.
    bases.push_back(MakeOgg(2, 44100, 30000, [](int c, long i) { return TestTone(440 + 220 * c, 44100, i); }, 7, 3));
    bases.push_back(MakeOgg(1, 22050, 15000, [](int, long i) { return TestTone(700, 22050, i); }, 8, 3));
    // A chained file whose second link has another format.
    auto chained = MakeOgg(1, 44100, 3000, [](int, long i) { return TestTone(500, 44100, i); }, 1);
    auto second = MakeOgg(2, 32000, 3000, [](int, long i) { return TestTone(900, 32000, i); }, 2);
    chained.insert(chained.end(), second.begin(), second.end());
    bases.push_back(chained);
    for (auto& b : bases) {
        ASSERT_FALSE(b.empty());
        ASSERT_TRUE(DecodeSoundFromMemory(b.data(), b.size()));
    }

    std::mt19937 rng(20240611u);
    int decoded = 0, refused = 0;
    auto slowest = std::chrono::steady_clock::duration::zero();
    const int kCases = 10000;
    for (int c = 0; c < kCases; ++c) {
        std::vector<uint8_t> input = Mutate(bases[c % bases.size()], rng);
        auto start = std::chrono::steady_clock::now();
        TSoundPtr s = DecodeSoundFromMemory(input.data(), input.size());
        slowest = std::max(slowest, std::chrono::steady_clock::now() - start);
        if (!s) {
            ++refused;
            continue;
        }
        ++decoded;
        ASSERT_TRUE(s->channels == 1 || s->channels == 2) << "case " << c;
        ASSERT_EQ(s->rate, 44100) << "case " << c;
        ASSERT_EQ(s->samples.size() % 2, 0u) << "case " << c;
        ASSERT_GT(s->FrameCount(), 0u) << "case " << c;
        // Damage can make tiny packets stand for whole blocks, but never past the length bound.
        ASSERT_LE(s->FrameCount(), 44100u * 600 + 1) << "case " << c;
    }
    EXPECT_EQ(decoded + refused, kCases);
    // Both outcomes must occur, or the mutations are not reaching the decoder at all.
    EXPECT_GT(decoded, kCases / 10);
    EXPECT_GT(refused, kCases / 20);
    EXPECT_LT(slowest, std::chrono::seconds(60));  // a hang guard: each case takes milliseconds
    std::printf("decoded %d, refused %d, slowest case %.1f ms\n", decoded, refused,
                std::chrono::duration<double, std::milli>(slowest).count());
}
