#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A name as a toolkit's file dialog gives it back after decoding it lossily: each byte
// of the file's name that is not UTF-8 became U+FFFD, so the name itself would reach
// another file, or none. The name is traced back, folder by folder, to the one file it
// stands for, in the form FileNameCodec gives names.
struct ShownName
{
    // The names in a folder (FileNameCodec's form), nothing when it cannot be read.
    using NamesIn = std::function<std::optional<std::vector<std::u16string>>(std::u16string_view folder)>;

    // `shown` as it is when it holds no U+FFFD. Otherwise each part of it that holds one
    // (folders separated by "/") becomes the one name in its folder that shows as that
    // part; nothing when no name or several do, for then no file can be told for certain.
    static std::optional<std::u16string> resolve(std::u16string_view shown, const NamesIn &namesIn);

    // Whether `exact` shows as `shown`: the same characters, except that each run of
    // undecodable bytes (or of U+FFFD) in `exact` is a run of U+FFFD in `shown`, however
    // many a decoder made of it.
    static bool showsAs(std::u16string_view exact, std::u16string_view shown);
};
