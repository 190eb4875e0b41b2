#include "export/output_names.h"

#include <cstdio>

std::string CostumeName(uint32_t costume) {
    char name[32];
    std::snprintf(name, sizeof name, "costume-%04u", costume);
    return name;
}

std::string FrameName(uint32_t costume, uint32_t frame) {
    char name[48];
    std::snprintf(name, sizeof name, "costume-%04u-frame-%03u", costume, frame);
    return name;
}

