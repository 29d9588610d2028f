#include "mdegit.h"
