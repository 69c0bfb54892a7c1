#include "render/colors.h"

Color bubbleColor;
