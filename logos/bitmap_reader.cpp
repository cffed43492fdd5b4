#include "logos/bitmap_reader.h"
