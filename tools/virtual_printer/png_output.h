// The printed paper as a greyscale PNG: white paper, black dots, the cut as a
// grey dashed line.
#pragma once
#include <string>

#include "paper.h"

namespace vp {

// Writes the used part of the paper (at least one row). False with `error` set
// when the file cannot be written.
bool WritePaperPng(const Paper& paper, const std::string& path, std::string* error);

}  // namespace vp
