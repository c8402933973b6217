#include "results_json/test_functions.h"

#include <QString>

namespace korvel::results {

namespace {

// The first function of each group's box 0, and how many boxes it uses.
struct GroupBoxes {
    int first;
    int boxes;
};
constexpr std::array<GroupBoxes, 5> kGroupBoxes{{{1, 4}, {5, 4}, {9, 4}, {13, 8}, {21, 8}}};

// The function of box k of a group; box 4 of the first group is the light.
std::string boxFunction(FunctionGroup group, int k) {
    const GroupBoxes g = kGroupBoxes[static_cast<std::size_t>(group)];
    if (group == FunctionGroup::F1toF4L && k == 4) return "L";
    return "F" + std::to_string(g.first + k);
}

int boxCount(FunctionGroup group) {
    return kGroupBoxes[static_cast<std::size_t>(group)].boxes +
           (group == FunctionGroup::F1toF4L ? 1 : 0);
}

}  // namespace

std::optional<FunctionGroup> functionGroupNamed(const std::string& name) {
    for (std::size_t i = 0; i < kFunctionGroupNames.size(); ++i)
        if (QString::fromStdString(name).compare(kFunctionGroupNames[i], Qt::CaseInsensitive) == 0)
            return functionGroup(static_cast<int>(i));
    return std::nullopt;
}

std::vector<std::string> functionsOfGroup(const std::string& groupName) {
    std::vector<std::string> out;
    if (const std::optional<FunctionGroup> group = functionGroupNamed(groupName))
        for (int k = 0; k < boxCount(*group); ++k) out.push_back(boxFunction(*group, k));
    return out;
}

std::optional<std::array<bool, 8>> functionPattern(FunctionGroup group,
                                                   const std::vector<std::string>& functions,
                                                   std::string& error) {
    std::array<bool, 8> boxes{};
    for (const std::string& f : functions) {
        bool found = false;
        for (int k = 0; k < boxCount(group) && !found; ++k)
            if (QString::fromStdString(f).compare(QString::fromStdString(boxFunction(group, k)),
                                                  Qt::CaseInsensitive) == 0) {
                boxes[static_cast<std::size_t>(k)] = true;
                found = true;
            }
        if (!found) {
            std::string names;
            for (int k = 0; k < boxCount(group); ++k)
                names += (k ? ", " : "") + boxFunction(group, k);
            error = "\"" + f + "\" is not a function of " +
                    kFunctionGroupNames[static_cast<std::size_t>(group)] + ": give " + names;
            return std::nullopt;
        }
    }
    return boxes;
}

std::vector<std::string> functionsOn(FunctionGroup group, const std::array<bool, 8>& boxes) {
    std::vector<std::string> out;
    for (int k = 0; k < boxCount(group); ++k)
        if (boxes[static_cast<std::size_t>(k)]) out.push_back(boxFunction(group, k));
    return out;
}

}  // namespace korvel::results
