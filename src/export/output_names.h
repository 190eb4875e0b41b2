// The names of the files export writes, from which every program and page finds them.
#pragma once

#include <cstdint>
#include <string>

// "costume-0001-frame-001": a frame's name in the sheet's JSON and its own PNG's stem.
std::string FrameName(uint32_t costume, uint32_t frame);
std::string CostumeName(uint32_t costume);
