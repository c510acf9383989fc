// Test helper: sets the two number separators and restores them on scope exit.
#pragma once

#include "numtext/NumberText.h"

class TSeparatorGuard {
public:
    TSeparatorGuard(char decimal, char thousand)
        : savedDecimal_(DecimalSeparator), savedThousand_(ThousandSeparator)
    {
        DecimalSeparator = decimal;
        ThousandSeparator = thousand;
    }
    ~TSeparatorGuard()
    {
        DecimalSeparator = savedDecimal_;
        ThousandSeparator = savedThousand_;
    }
    TSeparatorGuard(const TSeparatorGuard&) = delete;
    TSeparatorGuard& operator=(const TSeparatorGuard&) = delete;

private:
    char savedDecimal_;
    char savedThousand_;
};
