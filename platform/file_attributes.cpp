#include "platform/file_attributes.h"
