#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The pages the benchmarks scan. They are made here, from a fixed seed, so every run
// and every machine measures the same bytes.
enum class PageKind {
    Realistic, // 32,767 CR LF lines of ordinary HTML, about 1,000 bytes, a third selected
    Tabs,      // the same page indented and spaced with tabs
    Worst,     // 32,767 lines of 32,766 bytes, all selected, each decided by its last bytes
    LongLine,  // one line of 32,766 bytes, selected by its last bytes
    AllSelected, // 32,767 lines of about 1,000 bytes, all selected: the window's load
};

std::string_view pageName(PageKind kind);
std::string makePage(PageKind kind);

// Writes `page` to `path` in blocks; false (with errno set) when it cannot.
bool writePage(const std::string &path, std::string_view page);

// The worst legal page straight to a file, a line at a time, for the program that
// measures peak memory and must not hold the page itself. Returns the page's size, 0
// on failure.
std::size_t writeWorstPage(const std::string &path);
