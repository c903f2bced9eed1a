// A Java runtime version: four numbers compared in order.
#pragma once

#include <array>
#include <cstdint>

struct RuntimeVersion {
    std::array<std::int32_t, 4> parts{};
    // How many numeric groups the text held (5 means more than four).
    std::int32_t partCount = 0;
};
