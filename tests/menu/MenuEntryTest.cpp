#include <gtest/gtest.h>

#include <cmath>

#include "editable/MenuConfigureable.h"
#include "editable/MenuEntry.h"

using namespace NSMenu;

// A value through its line's range: the ends stay, outsiders and typed garbage come to the nearest end, texts to the
// range's lengths.
TEST(MenuRange, EndsStayOutsidersAndGarbageComeToTheNearestEndAndTextsToTheirLengths) {
    const ValueConstraintRange range(0, 1000), small(-1, 1), length(3, 5), direction(-1, 1, -1.0f, 1.0f);
    for (auto [in, out] : {std::pair{0.0f, 0.0f}, {1000.0f, 1000.0f}, {5000.0f, 1000.0f}, {-3.0f, 0.0f},
                           {12.5f, 12.5f}, {std::nanf(""), 0.0f}})
        EXPECT_EQ(range.constrain(TYPE_FLOAT, Value::ofFloat(in)).floatValue, out) << in;
    EXPECT_TRUE(range.isValid(TYPE_FLOAT, Value::ofFloat(0.0f)) && range.isValid(TYPE_FLOAT, Value::ofFloat(1000.0f)));
    EXPECT_FALSE(range.isValid(TYPE_FLOAT, Value::ofFloat(1000.5f)));
    for (auto [in, out] : {std::pair{-7, -1}, {7, 1}, {2, 1}})
        EXPECT_EQ(small.constrain(TYPE_INT, Value::ofInt(in)).intValue, out) << in;
    EXPECT_EQ(small.constrain(TYPE_CHAR, Value::ofChar(65)).charValue, 1);
    EXPECT_TRUE(small.isValid(TYPE_BOOL, Value::ofBool(true)) && small.isValid(99, Value::ofInt(1000)));
    for (auto [in, out] : {std::pair{"ab", "ab "}, {"abcdefg", "abcde"}, {"abcd", "abcd"}})
        EXPECT_EQ(length.constrain(TYPE_STRING, Value::ofString(in)).stringValue, out) << in;
    // Publishers may fill the four bounds directly, for example for a direction component.
    EXPECT_EQ(direction.constrain(TYPE_FLOAT, Value::ofFloat(-2.0f)).floatValue, -1.0f);
}
