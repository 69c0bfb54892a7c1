#include "tests/support/headless.h"
