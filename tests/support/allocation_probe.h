#pragma once

#include <cstddef>

// The largest block allocated through operator new since a test last set it to 0, to tell that
// hostile input did not make the reader reserve much memory. The counting operator new lives in
// a file of its own so that no inlined allocation sees it paired with free().
std::size_t& LargestAllocation();
