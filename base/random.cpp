// The shared random sequence's one instance.
#include "base/random.h"

RandomSequence sharedRandom;
