#pragma once

#include <cstddef>

namespace korvel {

// Element n of a module table or box column, indexed by a module number.
template <class Table>
auto& slot(Table& table, int n) {
    return table[static_cast<std::size_t>(n)];
}

}  // namespace korvel
