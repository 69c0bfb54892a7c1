#include "tests/support/replay.h"
