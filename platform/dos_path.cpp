#include "platform/dos_path.h"
