#include "vocabularies.h"

#include <array>

namespace corvane {
namespace {

constexpr std::array<std::string_view, 9> kPointTypes{
    "普通点",          "J桩",     "Z桩", "方向桩", "风偏点", "1点测标跨越物", "1点测路河塘房等",
    "2点测路河塘房等", "3点测房",
};

constexpr std::array<std::string_view, 39> kPoleTypes{
    "无杆型",      "1--[I]",      "2--[IJ]",    "3--[IJJ]",   "4--[LIJ]",    "5--[LIJJ]",
    "6--[LLIJJ]",  "7--[T]",      "8--[T2]",    "9--[T3]",    "10--[T4]",    "11--[T6]",
    "12--[T8]",    "13--[T111]",  "14--[T000]", "15--[F]",    "16--[F12]",   "17--[F32]",
    "18--[F42]",   "19--[F44]",   "20--[F84]",  "21--[F88]",  "22--[F1113]", "23--[F1114]",
    "24--[F0003]", "25--[F0004]", "26--[E]",    "27--[E442]", "28--[E882]",  "29--[E888]",
    "30--[Y]",     "31--[S]",     "32--[H]",    "33--[HH]",   "34--[ZL]",    "35--[B]",
    "36--[SHL]",   "37--[YT4]",   "38--[YT2]",
};

constexpr std::array<std::string_view, 28> kCrossingObjects{
    "无跨越物(0)",     "公路(184)",   "铁路(408)",       "乡道(186)",       "大坎路(183)",
    "小坎路(185)",     "宁波路(710)", "双线沟(191)",     "大坎沟(173)",     "小坎沟(175)",
    "双线河(191)",     "小坎河(175)", "单垄(906)",       "宽垄(905)",       "窄垄(904)",
    "房屋(201)",       "棚房(203)",   "温室(211)",       "菜窖(212)",       "花房(213)",
    "建筑中房屋(206)", "散坟(317)",   "右加固的坎(914)", "右未加固坎(915)", "左加固的坎(937)",
    "左未加固坎(938)", "塘(1000)",    "广告牌(90)",
};

constexpr std::array<std::string_view, 33> kLineClasses{
    "220V----------30",    "380V----------31",    "10KV----------32",    "35KV----------33",
    "66KV----------38",    "110KV----------34",   "154KV----------39",   "220KV----------35",
    "330KV----------36",   "500KV----------37",   "通信线----------40",  "一级通信线----41",
    "二级通信线----42",    "三级通信线----43",    "四级通信线----44",    "架空光缆-------49",
    "跨围墙----------88",  "跨行树----------89",  "铁路-------------71", "高速公路------80",
    "I级公路-------81",    "II级公路-------82",   "III级公路-------83",  "IV级公路-------84",
    "地下通讯线缆--50",    "地下电缆380V--51",    "地下电缆10KV--52",    "地下电缆35KV--53",
    "地下电缆110KV--54",   "地下油管---------65", "地下天然气管---66",   "地下光缆---------67",
    "地下水管---------68",
};

}  // namespace

std::span<const std::string_view> pointTypes() {
    return kPointTypes;
}
std::span<const std::string_view> poleTypes() {
    return kPoleTypes;
}
std::span<const std::string_view> crossingObjects() {
    return kCrossingObjects;
}
std::span<const std::string_view> lineClasses() {
    return kLineClasses;
}

bool isHouseCode(int code) {
    switch (code) {
        case 90:
        case 201:
        case 203:
        case 206:
        case 211:
        case 212:
        case 213:
            return true;
        default:
            return false;
    }
}

}  // namespace corvane
