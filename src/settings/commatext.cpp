#include "settings/commatext.h"
