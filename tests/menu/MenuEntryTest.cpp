#include <gtest/gtest.h>

#include <cmath>
#include <vector>

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

TEST(MenuEntryTest, EntriesOwnAndCopyTheirConstraint) {
    MenuEntry gap;
    EXPECT_EQ(gap.kind, KIND_SEPARATOR);
    EXPECT_EQ(gap.owner, nullptr);
    EXPECT_EQ(gap.constraint, nullptr);

    std::vector<MenuEntry> list;
    list.emplace_back(nullptr, "Mass", TYPE_FLOAT, KIND_INPUT, Value::ofFloat(1.0f), true,
                      new ValueConstraintRange(0, 9999));
    list.push_back(list[0]);
    list.emplace_back();
    ASSERT_NE(list[1].constraint, nullptr);
    EXPECT_NE(list[0].constraint.get(), list[1].constraint.get());
    list[1].constraint.reset();
    EXPECT_TRUE(list[0].constraint->isValid(TYPE_FLOAT, Value::ofFloat(9999.0f)));

    MenuEntry assigned;
    assigned = list[0];
    EXPECT_EQ(assigned.label, "Mass");
    EXPECT_EQ(assigned.value.floatValue, 1.0f);
    EXPECT_NE(assigned.constraint.get(), list[0].constraint.get());
}
