// The chart's own error class: range checks of chart settings.
#pragma once

#include <stdexcept>

class EChartError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
