#include "datafiles/textdecode.h"
