#pragma once

// A file format that reaches up into the console: the layer check must refuse it.
#include "operation/controlpanel.h"
#include "platform/cp932.h"
