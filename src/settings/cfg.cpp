#include "settings/cfg.h"
