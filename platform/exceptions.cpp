#include "platform/exceptions.h"
