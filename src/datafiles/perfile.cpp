#include "datafiles/perfile.h"
