#include "logos/logo_preview.h"
