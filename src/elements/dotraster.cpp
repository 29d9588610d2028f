#include "dotraster.h"
