#include "vbvalue.h"
