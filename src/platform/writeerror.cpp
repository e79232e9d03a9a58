#include "platform/writeerror.h"
