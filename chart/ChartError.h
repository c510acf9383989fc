// The chart's own error class: range checks of chart settings.
//
// Protocol: thrown by a setter that refuses a value, before anything is
// stored; the setting keeps its old value. Callers that pass checked values
// (the program's own design) never see it.
#pragma once

#include <stdexcept>

class EChartError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
