#include "platform/tc_window_wine.h"

// Everything is inline; this file keeps the one-implementation-per-platform layout.
