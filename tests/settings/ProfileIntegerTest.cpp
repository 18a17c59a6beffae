#include "ProfileInteger.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// clang-format off
TEST(ProfileInteger, AcceptsDecimalWithinThe32BitRange) {
    const std::pair<const char*, int32_t> cases[] = {
        {"0", 0},     {"7", 7},       {"+7", 7},         {"-7", -7},
        {" 7", 7},    {"\t 7", 7},    {"  -12", -12},    {"0007", 7},
        {"-0", 0},    {"2147483647", INT32_MAX},         {"-2147483648", INT32_MIN},
        {"000000000002147483647", INT32_MAX}};
    for (auto [text, expected] : cases) EXPECT_EQ(qm::ParseProfileInteger(text), expected) << text;
}

TEST(ProfileInteger, AcceptsHexWithEveryPrefixAndAtMostEightSignificantDigits) {
    const std::pair<const char*, int32_t> cases[] = {
        {"0x2", 2},   {"0X2", 2},     {"$2", 2},         {"x2", 2},     {"X2", 2},
        {"$fF", 255}, {" $10", 16},   {"+$10", 16},      {"-$10", -16}, {"$7FFFFFFF", INT32_MAX},
        {"$80000000", INT32_MIN},     {"$FFFFFFFF", -1}, {"-$FFFFFFFF", 1},
        {"-$80000000", INT32_MIN},    {"0x0000000012345678", 0x12345678}, {"$000000000000", 0}};
    for (auto [text, expected] : cases) EXPECT_EQ(qm::ParseProfileInteger(text), expected) << text;
}

TEST(ProfileInteger, RejectsEverythingElse) {
    const char* cases[] = {"",    " ",   "+",    "-",    "2x",  "7 ",  "1 2", "- 5", "--1", "+-1",
                           "1.0", "1e3", "0b1",  "$",    "0x",  "x",   "$-1", "0x-1", "$1G", "0x 1",
                           "$100000000", "2147483648", "-2147483649", "99999999999999999999"};
    for (const char* text : cases) EXPECT_EQ(qm::ParseProfileInteger(text), std::nullopt) << text;
}

TEST(CandidateKeyPosition, FindsPositionsInRangeWithoutLeadingZeros) {
    const std::pair<const wchar_t*, int32_t> cases[] = {
        {L"Presentation1", 1},  {L"presentation10", 10}, {L"PRESENTATION3", 3},  {L" Presentation2\t", 2},
        {L"Presentation11", 0}, {L"Presentation0", 0},   {L"Presentation01", 0}, {L"Presentation", 0},
        {L"Presentation+1", 0}, {L"Presentation 1", 0},  {L"XPresentation1", 0}, {L"Presentatio1", 0},
        {L"Presentation1x", 0}, {L"Presentation-1", 0},  {L"", 0}};
    for (auto [name, expected] : cases)
        EXPECT_EQ(qm::CandidateKeyPosition(name, "Presentation", 10), expected) << name;
}
// clang-format on

TEST(CandidateKeyPosition, LargePositionsNeitherOverflowNorWrap) {
    EXPECT_EQ(qm::CandidateKeyPosition(L"Presentation2147483647", "Presentation", INT32_MAX), INT32_MAX);
    EXPECT_EQ(qm::CandidateKeyPosition(L"Presentation2147483648", "Presentation", INT32_MAX), 0);
    EXPECT_EQ(qm::CandidateKeyPosition(L"Presentation4294967297", "Presentation", INT32_MAX), 0);
    EXPECT_EQ(qm::CandidateKeyPosition(L"Presentation99999999999999999999", "Presentation", INT32_MAX), 0);
}

TEST(CandidateKeyPosition, KeepsNamesWhoseLettersOnlyThePlatformCanCompare) {
    // Under some code pages a non-ASCII letter folds to an ASCII one (Turkish dotless i).
    EXPECT_EQ(qm::CandidateKeyPosition(L"Presentat\u0131on5", "Presentation", 10), 5);
    EXPECT_EQ(qm::CandidateKeyPosition(L"Pr\u00e9sentation12", "Presentation", 10), 0);
}

} // namespace
