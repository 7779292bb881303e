// minizip's file access routed through the OS boundary: an archive is read
// whole, for reading only, through a handle checked to be the plain file at
// exactly the path given (common/checked_open.h), and served from memory, so
// nothing swapped in at the path or above it after that open is read. With
// these, unzOpen2_64(path, ...) reads what unzOpen64(path) would.
#pragma once
#include "ioapi.h"

namespace payload {

void FillOsFileFunctions(zlib_filefunc64_def* functions);

}  // namespace payload
