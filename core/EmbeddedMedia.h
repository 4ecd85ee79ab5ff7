// The media files linked into the program.
#pragma once

// Registers every linked media file under its name ("medien/etc/Background.jpg"), in order.
void RegisterEmbeddedMedia();
int EmbeddedMediaCount();
const char* EmbeddedMediaName(int index);
