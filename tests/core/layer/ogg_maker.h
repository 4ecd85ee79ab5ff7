// Makes small Ogg Vorbis files in memory for the sound tests, so they need no sample files.
#pragma once
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include <vorbis/vorbisenc.h>

// sample(channel, frame) gives a value in -1..1. packetsPerPage > 0 ends a page after that many
// packets (many small pages) instead of the encoder's usual page size.
inline std::vector<uint8_t> MakeOgg(int channels, int rate, long frames,
                                    const std::function<float(int, long)>& sample, int serial = 4711,
                                    int packetsPerPage = 0) {
    std::vector<uint8_t> out;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, 0.4f) != 0) {
        vorbis_info_clear(&vi);
        return out;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);
    auto appendPage = [&](const ogg_page& og) {
        out.insert(out.end(), og.header, og.header + og.header_len);
        out.insert(out.end(), og.body, og.body + og.body_len);
    };
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    ogg_page og;
    while (ogg_stream_flush(&os, &og)) appendPage(og);

    int inPage = 0;
    auto drain = [&] {
        ogg_packet op;
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                if (packetsPerPage > 0 && ++inPage >= packetsPerPage) {
                    while (ogg_stream_flush(&os, &og)) appendPage(og);
                    inPage = 0;
                }
                while (ogg_stream_pageout(&os, &og)) appendPage(og);
            }
        }
    };
    const long chunk = 1024;
    for (long at = 0; at < frames; at += chunk) {
        long n = std::min(chunk, frames - at);
        float** buf = vorbis_analysis_buffer(&vd, static_cast<int>(n));
        for (int c = 0; c < channels; ++c)
            for (long i = 0; i < n; ++i) buf[c][i] = sample(c, at + i);
        vorbis_analysis_wrote(&vd, static_cast<int>(n));
        drain();
    }
    vorbis_analysis_wrote(&vd, 0);
    drain();
    while (ogg_stream_flush(&os, &og)) appendPage(og);

    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

inline float TestTone(double hertz, int rate, long frame) {
    return static_cast<float>(0.5 * std::sin(2.0 * M_PI * hertz * frame / rate));
}
