#!/usr/bin/env bash
# Only the drawing and media layer (and tests) may talk to the window system, GL, the codecs,
# audio and the dialog toolkit: everything else goes through the layer's own headers.
set -euo pipefail
cd "${PLARN_SOURCE_DIR:?}"
pattern='#[[:space:]]*include[[:space:]]*[<"](X11/|GL/|png\.h|jpeglib\.h|stb/|vorbis/|ogg/|alsa/|FL/|linux/soundcard)'
hits=$(grep -rnE "$pattern" --include='*.cpp' --include='*.h' . | grep -vE '^\./(core/layer|tests|build[^/]*)/' || true)
if [ -n "$hits" ]; then
    echo "platform headers outside the layer:"
    echo "$hits"
    exit 1
fi
echo "only the layer includes platform headers"
