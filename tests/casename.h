#pragma once

#include <gtest/gtest.h>

#include <string>

// Names each row of a table-driven test after the row's `name`, so a failure says which
// behaviour broke.
struct CaseName
{
    template <typename Case>
    std::string operator()(const testing::TestParamInfo<Case> &row) const
    {
        return row.param.name;
    }
};
