#include "seiriken_plugin.h"
