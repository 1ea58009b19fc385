#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <tuple>

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

// Names a row run at one read block size: "Block<size>", or "<row name>_Block<size>"
// when a table's rows are crossed with block sizes.
struct BlockName
{
    std::string operator()(const testing::TestParamInfo<std::size_t> &row) const
    {
        return "Block" + std::to_string(row.param);
    }

    template <typename Case>
    std::string operator()(const testing::TestParamInfo<std::tuple<Case, std::size_t>> &row) const
    {
        return std::string(std::get<0>(row.param).name) + "_Block" + std::to_string(std::get<1>(row.param));
    }
};
