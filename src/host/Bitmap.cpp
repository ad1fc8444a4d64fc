#include "host/Bitmap.h"

BitmapManager* TheManager = nullptr;
