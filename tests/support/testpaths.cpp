#include "testpaths.h"
