#include "monitors/monitor.h"
