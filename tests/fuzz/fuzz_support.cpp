// Start-up's process-wide sphere detail, which the part builder reads; the fuzz programs link the
// readers without start-up, so they own it here.
#include "app/startup.h"

int tessellationDetail = 20;
