#include "platform/windows_error.h"
