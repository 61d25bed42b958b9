#include "output/b.h"
