// The built-in setting: where every render starts unless --settings or --flat
// says otherwise. One table, applied through the host parameter interface in
// this order.
#pragma once

#include <cstddef>

namespace audiomix_render {

struct DefaultParam {
    const char* name;
    double value;
};

// The entries, in the order they are applied; count written to n.
const DefaultParam* default_setting(size_t& n);

}  // namespace audiomix_render
