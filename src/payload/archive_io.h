// minizip's file access routed through the OS boundary (os::fopen and its
// companions), so that archives are read from wherever the program's file
// streams lead: the real disk in the product, the in-memory file system in
// the unit tests. With these, unzOpen2_64(path, ...) does what unzOpen64(path)
// does with minizip's own stdio routines.
#pragma once
#include "ioapi.h"

namespace payload {

void FillOsFileFunctions(zlib_filefunc64_def* functions);

}  // namespace payload
