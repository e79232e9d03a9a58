#include "datafiles/almfile.h"
