// The working folder a test's first command makes: the fake's random
// generator counts from 00 after every Reset, so its name is known.
#pragma once
#include <string>

inline const std::string kFirstWorkingFolder = "C:\\ProgramData\\Tovlan\\lumatrek.000102030405060708090a0b0c0d0e0f";
