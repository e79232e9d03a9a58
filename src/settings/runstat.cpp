#include "settings/runstat.h"
