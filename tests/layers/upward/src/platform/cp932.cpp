// The CP932 codec, widget-free, that uses a message box: the layer check must refuse it.
#include "platform/msgbox.h"
