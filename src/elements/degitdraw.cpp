#include "degitdraw.h"
