#include "plugins/lv2/ports.h"

namespace audiomix::lv2 {

std::string control_name(int32_t control) {
    if (control < kFixedParamCount) return kParamTable[control].name;
    return "eq.band." + std::to_string(control - kFixedParamCount);
}

const ParamInfo& control_info(int32_t control) {
    return kParamTable[control < kFixedParamCount ? control : kFixedParamCount];
}

std::string port_symbol(const std::string& name) {
    std::string symbol = name;
    for (char& c : symbol)
        if (c == '.') c = '_';
    return symbol;
}

}  // namespace audiomix::lv2
