// The shared random sequence's one instance.
#include "app/random.h"

RandomSequence sharedRandom;
