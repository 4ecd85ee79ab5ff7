#!/bin/bash
# Make the seven sounds of medien/Sounds: 44100 Hz Ogg Vorbis of fixed
# lengths and channel counts.  Music is rendered from the ABC tunes in
# tunes/ with a General MIDI sound font; the short effects come from sox.
# Usage: sounds.sh OUT_DIR
set -euo pipefail
out=$1
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"
soundfont=/usr/share/sounds/sf2/FluidR3_GM.sf2
R=44100

# finish NAME CHANNELS SECONDS FADE_OUT [PEAK_DB]: trim or pad the raw take to
# the exact length, fade its end, set its peak (1 dB below full scale unless
# given) and encode it.
finish() {
    local name=$1 channels=$2 seconds=$3 fade=$4 peak=${5:--1}
    local samples
    samples=$(awk "BEGIN { printf \"%d\", $seconds * $R + 0.5 }")
    sox "$tmp/$name.raw.wav" -r $R -c "$channels" "$tmp/$name.pad.wav" pad 0 "$seconds"
    sox "$tmp/$name.pad.wav" -b 16 "$tmp/$name.wav" trim 0 "${samples}s" fade t 0 "${samples}s" "$fade" gain -n "$peak"
    oggenc -Q -q 5 -o "$out/$name.ogg" "$tmp/$name.wav"
}

music() {
    local name=$1 channels=$2 seconds=$3 fade=$4
    abc2midi "$here/tunes/$name.abc" -o "$tmp/$name.mid" > /dev/null
    fluidsynth -ni -q -g 0.5 -r $R -F "$tmp/$name.synth.wav" "$soundfont" "$tmp/$name.mid" > /dev/null
    if [ "$channels" = 1 ]; then
        sox "$tmp/$name.synth.wav" "$tmp/$name.raw.wav" remix 1,2
    else
        cp "$tmp/$name.synth.wav" "$tmp/$name.raw.wav"
    fi
    finish "$name" "$channels" "$seconds" "$fade"
}

music IntroMusic 1 15.0 1.0
music HelpMusic 2 18.0 1.5
music CongratulationsMusic 2 11.5 1.5

# A letter snapping into place: a short bright tick.
sox -n -r $R -c 1 "$tmp/CreditsClickSound.raw.wav" synth 0.07 pluck 2200 synth 0.07 whitenoise mix \
    highpass 1500 fade q 0.001 0.07 0.06
# It sounds for every one of some 250 letters, so it stays soft.
finish CreditsClickSound 1 0.07 0.02 -9

# Two pieces locking together: a low wooden knock with a bright click on top.
sox -n -r $R -c 1 "$tmp/knock.wav" synth 0.19 pluck 330 synth 0.19 sine mix 660 fade q 0.002 0.19 0.17
sox -n -r $R -c 1 "$tmp/tick.wav" synth 0.03 whitenoise vol 0.5 highpass 2500 fade q 0.001 0.03 0.028 pad 0 0.16
sox -m -v 1 "$tmp/knock.wav" -v 0.6 "$tmp/tick.wav" "$tmp/PuzzleVerbund.raw.wav"
finish PuzzleVerbund 1 0.19 0.05 -3

# Pieces flying in: a swelling and fading rush of air.
sox -n -r $R -c 1 "$tmp/FlyIn.raw.wav" synth 1.44 pinknoise synth 1.44 sine amod 0.9 90 \
    sinc 250-2600 phaser 0.8 0.74 3 0.4 0.5 -t fade t 0.6 1.44 0.8 gain -n -3
finish FlyIn 1 1.44 0.3 -4

# Letters tumbling out of the window: a falling slide, spinning from side to
# side, over a soft rush of air.
sox -n -r $R -c 2 "$tmp/slide.wav" synth 5.3 sine 1500:90 sine 1490:88 tremolo 7 60 fade t 0.02 5.3 1.2
sox -n -r $R -c 2 "$tmp/air.wav" synth 5.3 pinknoise pinknoise lowpass 1200 fade t 1.5 5.3 2.5 gain -12
sox -m "$tmp/slide.wav" "$tmp/air.wav" "$tmp/fall.wav"
sox "$tmp/fall.wav" "$tmp/CreditsFallSound.raw.wav" remix 1v0.9,2v0.3 1v0.3,2v0.9 echo 0.8 0.7 60 0.3
finish CreditsFallSound 2 5.3 0.8 -7
