// Random damage to a file's bytes from a fixed seed, shared by the fuzz loops over binary files:
// flipped bits, edge values, truncation, inserted junk, deleted and repeated ranges. Each loop
// adds damage of its own format (sizes in a header, checksums mended) where MutateOnce says so.
#pragma once
#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace fuzzing {

class ByteMutator {
public:
    using Bytes = std::vector<uint8_t>;

    explicit ByteMutator(uint32_t seed) : rng_(seed) {}

    uint32_t Next(uint32_t below) { return below ? static_cast<uint32_t>(rng_() % below) : 0; }

    // One damage of the kinds above; false (nothing changed) when the draw falls to the
    // caller's own kind of damage.
    bool MutateOnce(Bytes& b) {
        uint32_t size = static_cast<uint32_t>(b.size());
        switch (Next(7)) {
            case 0:  // flip bits
                for (uint32_t n = 1 + Next(4); n > 0; --n) b[Next(size)] ^= static_cast<uint8_t>(1u << Next(8));
                return true;
            case 1: {  // set bytes, often to an edge value
                static const uint8_t edges[] = {0x00, 0xFF, 0x7F, 0x80, 0x01, 0xFE};
                for (uint32_t n = 1 + Next(4); n > 0; --n)
                    b[Next(size)] = Next(2) ? edges[Next(6)] : static_cast<uint8_t>(Next(256));
                return true;
            }
            case 2:  // truncate
                b.resize(Next(size));
                return true;
            case 3: {  // insert junk
                Bytes junk(1 + Next(32));
                for (auto& j : junk) j = static_cast<uint8_t>(Next(256));
                b.insert(b.begin() + Next(size + 1), junk.begin(), junk.end());
                return true;
            }
            case 4: {  // delete a range
                uint32_t at = Next(size), len = 1 + Next(16);
                b.erase(b.begin() + at, b.begin() + std::min(size, at + len));
                return true;
            }
            case 5: {  // copy a range elsewhere, as a repeated chunk or marker would be
                uint32_t from = Next(size), len = 1 + Next(24), to = Next(size);
                Bytes part(b.begin() + from, b.begin() + std::min(size, from + len));
                b.insert(b.begin() + to, part.begin(), part.end());
                return true;
            }
            default:
                return false;
        }
    }

private:
    std::mt19937 rng_;
};

}  // namespace fuzzing
