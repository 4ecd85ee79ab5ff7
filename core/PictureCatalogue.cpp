#include "core/PictureCatalogue.h"

#include "core/Globals.h"
#include "core/layer/Numbers.h"
#include "core/puzzle/TGitterPreview.h"
#include "ui/THorizontalBar.h"
#include "ui/TImagePreview.h"

const char kDefaultPicture[] = "incbin::medien/Reihe1/Rose.jpg";

namespace {
const char* const kSeries1[16] = {"Rose.jpg",     "Biene.jpg",      "Eiswald.jpg", "Nebellandschaft.jpg",
                                  "Haflinger.jpg", "Strandszene.jpg", "Robbe.jpg",   "Fische.jpg",
                                  "Riff.jpg",     "Steinbock.jpg",  "Baer.jpg",    "Zebras.jpg",
                                  "Nashorn.jpg",  "Giraffen.jpg",   "Loewe.jpg",   "Elefant.jpg"};
const char* const kSeries2[16] = {"Matterhorn.jpg", "Alpengluehen.jpg", "Alpensee.jpg",   "Berghuette.jpg",
                                  "Windmuehlen.jpg", "Dichterhaus.jpg",  "Schloss.jpg",    "Berlin.jpg",
                                  "Kirchtuerme.jpg", "Rathaus.jpg",      "ParkPortal.jpg", "Schiff.jpg",
                                  "VolvoAmazon.jpg", "RoteLok.jpg",      "Shuttle.jpg",    "Kraene.jpg"};
}  // namespace

std::string BuiltInMotivePath(int row, int index) {
    if (row != 1 && row != 2) return std::string();
    if (index < 0 || index > 15) index = 15;
    return std::string("incbin::medien/Reihe1/") + (row == 1 ? kSeries1 : kSeries2)[index];
}

int SelectBuiltInMotive(int row, int index) {
    std::string previous = ImagePaths[0];
    std::string chosen = BuiltInMotivePath(row, index);
    if (!chosen.empty()) ImagePaths[0] = chosen;
    if (ImagePreview->Loading(ImagePaths[0], 750, 410, 400, 400, TruncateToInt(0.8 * ScreenWidth),
                              TruncateToInt(0.8 * ScreenHeight), {}) < 0) {
        // The preview kept the previous picture (and told the player): so does the path, or a
        // puzzle created next would name a picture it was not cut from.
        ImagePaths[0] = previous;
    }
    GridPreview->Gitter_berechnen(TruncateToInt(Sliders[0]->Value), GetImageWidth(ImagePreview->Image),
                                  GetImageHeight(ImagePreview->Image));
    return 0;
}
