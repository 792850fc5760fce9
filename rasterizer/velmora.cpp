// placeholder until the core lands
#include "velmora.h"
