#include "datafiles/calfile.h"
