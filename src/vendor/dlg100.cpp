#include "dlg100.h"
