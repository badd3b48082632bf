#pragma once

// The names now live in the string table's one header; this one goes once no file includes it.
#include "camera_manager/core/StringIds.h"
