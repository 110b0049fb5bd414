#include "chm/LCIDTable.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

struct CodePage {
    const char* name;
    std::vector<std::int32_t> lcids;
};

// clang-format off
const std::array<CodePage, 14> kCodePages{{
    {"CP1256", {1025, 1056, 1065, 2049, 3073, 4097, 5121, 6145, 7169, 8193, 9217, 10241, 11265, 12289,
                13313, 14337, 15361, 16385}},
    {"CP1251", {1026, 1049, 1058, 1059, 1070, 1085, 1086, 1092, 2092, 2115, 3098}},
    {"CP1252", {1027, 1030, 1031, 1033, 1035, 1036, 1039, 1040, 1043, 1044, 1046, 1053, 1057, 1069, 1078,
                1080, 1081, 1084, 1089, 2055, 2057, 2058, 2060, 2064, 2067, 2068, 2070, 2077, 2110, 3079,
                3081, 3082, 3084, 4103, 4105, 4106, 4108, 5127, 5129, 5130, 5132, 6153, 6154, 7177, 7178,
                8201, 8202, 9225, 9226, 10249, 10250, 11273, 11274, 12298, 13321, 13322, 14346, 15370,
                16394, 17418, 18442, 19466, 20490}},
    {"CP1250", {1029, 1038, 1045, 1048, 1050, 1051, 1052, 1060, 2074}},
    {"CP950", {1028, 3076, 5124}},
    {"CP936", {2052, 4100}},
    {"CP932", {1041}},
    {"CP949", {1042}},
    {"CP874", {1054}},
    {"CP1253", {1032}},
    {"CP1255", {1037}},
    {"CP1254", {1055, 1068, 1091}},
    {"CP1257", {1061, 1062, 1063}},
    {"CP1258", {1066}},
}};
// clang-format on

} // namespace

namespace LCIDTable {

QString codePageForLCID(std::int32_t lcid)
{
    for (const CodePage& codePage : kCodePages) {
        if (std::find(codePage.lcids.begin(), codePage.lcids.end(), lcid) != codePage.lcids.end())
            return QString::fromLatin1(codePage.name);
    }
    return {};
}

} // namespace LCIDTable
