#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "testpanel/function_frame.h"

namespace korvel::results {

// The test buttons' captions, by their index: the groups a test switches.
inline constexpr std::array<const char*, 5> kFunctionGroupNames{"F1..F4+L", "F5..F8", "F9..F12",
                                                                "F13..F20", "F21..F28"};

// The group a caption names, in any case.
std::optional<FunctionGroup> functionGroupNamed(const std::string& name);
// The functions of a group as the test names them: L and F1..F4, F5..F8 ...
std::vector<std::string> functionsOfGroup(const std::string& groupName);
// The pattern boxes that switch the named functions of `group` on; nullopt
// with `error` set when a name is not a function of the group.
std::optional<std::array<bool, 8>> functionPattern(FunctionGroup group,
                                                   const std::vector<std::string>& functions,
                                                   std::string& error);
// The functions a pattern switches on, as the test names them (L, F1 ...).
std::vector<std::string> functionsOn(FunctionGroup group, const std::array<bool, 8>& boxes);

}  // namespace korvel::results
