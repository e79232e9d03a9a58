#include "datafiles/thfile.h"
