#include "datafiles/csvsplit.h"
