// TEMPORARY stand-in until the image reader and catalogue land: no images,
// every size 0. Delete this file when common/drawing.cpp exists.
#include "common/drawing.h"

int imageWidth[kImageCount];
int imageHeight[kImageCount];

void ReadImageFiles(void) {}
