// Resource and control ids of the main dialog, under the names the resource
// script gives them (resources/resource.h).
#pragma once
#include "../../resources/resource.h"
