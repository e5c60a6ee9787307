#include <gtest/gtest.h>

#include <cmath>

#include "editable/MenuConfigureable.h"
#include "editable/MenuEntry.h"

using namespace NSMenu;

TEST(MenuRange, FloatRangeKeepsItsEndsAndCorrectsOutsiders) {
    ValueConstraintRange range(0, 1000);
    EXPECT_TRUE(range.isValid(TYPE_FLOAT, Value::ofFloat(0.0f)));
    EXPECT_TRUE(range.isValid(TYPE_FLOAT, Value::ofFloat(1000.0f)));
    EXPECT_FALSE(range.isValid(TYPE_FLOAT, Value::ofFloat(1000.5f)));
    EXPECT_EQ(range.constrain(TYPE_FLOAT, Value::ofFloat(5000.0f)).floatValue, 1000.0f);
    EXPECT_EQ(range.constrain(TYPE_FLOAT, Value::ofFloat(-3.0f)).floatValue, 0.0f);
    EXPECT_EQ(range.constrain(TYPE_FLOAT, Value::ofFloat(12.5f)).floatValue, 12.5f);
    // Typed garbage ends inside the range too.
    EXPECT_EQ(range.constrain(TYPE_FLOAT, Value::ofFloat(std::nanf(""))).floatValue, 0.0f);
}

TEST(MenuRange, IntsCharsAndStringLengths) {
    ValueConstraintRange range(-1, 1);
    EXPECT_EQ(range.constrain(TYPE_INT, Value::ofInt(-7)).intValue, -1);
    EXPECT_EQ(range.constrain(TYPE_INT, Value::ofInt(7)).intValue, 1);
    EXPECT_EQ(range.constrain(TYPE_INT, Value::ofInt(2)).intValue, 1) << "just past the top";
    EXPECT_EQ(range.constrain(TYPE_CHAR, Value::ofChar(65)).charValue, 1);
    EXPECT_TRUE(range.isValid(TYPE_BOOL, Value::ofBool(true)));
    EXPECT_TRUE(range.isValid(99, Value::ofInt(1000)));

    ValueConstraintRange length(3, 5);
    EXPECT_EQ(length.constrain(TYPE_STRING, Value::ofString("ab")).stringValue, "ab ");
    EXPECT_EQ(length.constrain(TYPE_STRING, Value::ofString("abcdefg")).stringValue, "abcde");
    EXPECT_EQ(length.constrain(TYPE_STRING, Value::ofString("abcd")).stringValue, "abcd");

    // Publishers may fill the four bounds directly, for example for a direction component.
    ValueConstraintRange direction(-1, 1, -1.0f, 1.0f);
    EXPECT_EQ(direction.constrain(TYPE_FLOAT, Value::ofFloat(-2.0f)).floatValue, -1.0f);
}
