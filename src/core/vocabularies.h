#pragma once

#include <span>
#include <string_view>

namespace corvane {

inline constexpr std::string_view kJStake = "J桩";
inline constexpr std::string_view kZStake = "Z桩";
inline constexpr std::string_view kOrdinaryPoint = "普通点";
inline constexpr std::string_view kOnePointCrossedObject = "1点测标跨越物";
inline constexpr std::string_view kOnePointObject = "1点测路河塘房等";
inline constexpr std::string_view kTwoPointObject = "2点测路河塘房等";
inline constexpr std::string_view kThreePointHouse = "3点测房";
inline constexpr std::string_view kUnresolved = "-.-";

/// Texts a raw survey import gives the columns the instrument does not deliver.
inline constexpr std::string_view kRawRemark = "空格（无编码）";
inline constexpr std::string_view kRawZero = "0";
inline constexpr std::string_view kRawCrossing = "无跨越物(0)";
inline constexpr std::string_view kRawMeasure = "0.0000";
inline constexpr std::string_view kRawPoleType = "无杆型";

std::span<const std::string_view> pointTypes();
std::span<const std::string_view> poleTypes();
std::span<const std::string_view> crossingObjects();
std::span<const std::string_view> lineClasses();

/// Crossing codes whose objects are outlined as houses, and the pond code.
bool isHouseCode(int code);
inline constexpr int kPondCode = 1000;

}  // namespace corvane
