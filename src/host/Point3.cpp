// Point3's functions are inline in its header.
#include "host/Point3.h"
