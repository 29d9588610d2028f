#include "chimeictl_c2.h"
