#include "platform/datefmt.h"
