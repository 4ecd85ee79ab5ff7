// Saves the back buffer as a PNG for a person to look at: into $PLARN_SHOT_DIR when it is set,
// else into shots/ in the build directory.
#pragma once
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "core/layer/Pixmaps.h"
#include "core/layer/Window.h"

namespace shots {
inline std::string Save(const std::string& name) {
    const char* env = std::getenv("PLARN_SHOT_DIR");
    std::string dir = env && *env ? env : std::string(PLARN_BINARY_DIR) + "/shots";
    mkdir(dir.c_str(), 0755);
    std::string path = dir + "/" + name;
    TPixmapPtr pm = CaptureScreenToPixmap(0, 0, GetGraphicsWidth(), GetGraphicsHeight());
    EncodePixmapToPngFile(pm, path, 6);
    return path;
}
}  // namespace shots
