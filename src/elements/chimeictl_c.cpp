#include "chimeictl_c.h"
