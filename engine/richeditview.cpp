#include "engine/richeditview.h"
