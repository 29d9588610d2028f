#include "pickers.h"
