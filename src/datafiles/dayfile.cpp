#include "datafiles/dayfile.h"
