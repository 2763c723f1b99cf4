// SPDX-License-Identifier: MIT
#include "model/JsonRead.h"

#include <gtest/gtest.h>

using namespace zelmor;

namespace {

constexpr std::int64_t IntDefault = -7;

struct TRuleCase {
    const char* Member;              // JSON text of the member's value, or nullptr for a missing member
    std::optional<std::int64_t> Int; // nullopt: the int rule throws
    bool Bool;                       // the bool rule with default false
    const char* Str;                 // the str rule with default "<d>"
    std::optional<std::int64_t> OptInt;
    std::optional<bool> OptBool;
};

} // namespace

TEST(JsonRead, EveryRuleOnEveryKindOfValue) {
    const TRuleCase cases[] = {
        // member        int           bool   str            opt-int       opt-bool
        {nullptr, IntDefault, false, "<d>", std::nullopt, std::nullopt},
        {"null", IntDefault, false, "<d>", std::nullopt, std::nullopt},
        {"300", 300, true, "300", 300, true},
        {"-1", -1, true, "-1", -1, true},
        {"0", 0, false, "0", 0, false},
        {"2.0", 2, true, "2.0", 2, true},
        {"1.5", std::nullopt, true, "1.5", std::nullopt, true},
        {"true", 1, true, "true", 1, true},
        {"false", 0, false, "false", 0, false},
        {"\"12\"", 12, false, "12", 12, std::nullopt},
        {"\"-3\"", -3, false, "-3", -3, std::nullopt},
        {"\"1\"", 1, true, "1", 1, std::nullopt},
        {"\"0\"", 0, false, "0", 0, std::nullopt},
        {"\"TRUE\"", IntDefault, true, "TRUE", std::nullopt, true},
        {"\"False\"", IntDefault, false, "False", std::nullopt, false},
        {"\"yes\"", IntDefault, false, "yes", std::nullopt, std::nullopt},
        {"\"1.5\"", IntDefault, false, "1.5", std::nullopt, std::nullopt},
        {"\"\"", IntDefault, false, "", std::nullopt, std::nullopt},
        {"{\"a\":1}", IntDefault, false, "{\"a\":1}", std::nullopt, std::nullopt},
        {"[1,2]", IntDefault, false, "[1,2]", std::nullopt, std::nullopt},
    };
    for (const TRuleCase& c : cases) {
        SCOPED_TRACE(c.Member ? c.Member : "(missing)");
        const TJson object =
            c.Member ? TJson::parse(std::string("{\"m\":") + c.Member + "}") : TJson::object();
        if (c.Int)
            EXPECT_EQ(ReadInt(object, "m", IntDefault), *c.Int);
        else
            EXPECT_THROW(ReadInt(object, "m", IntDefault), TJsonError);
        EXPECT_EQ(ReadBool(object, "m", false), c.Bool);
        EXPECT_EQ(ReadStr(object, "m", "<d>"), c.Str);
        EXPECT_EQ(ReadOptInt(object, "m"), c.OptInt);
        EXPECT_EQ(ReadOptBool(object, "m"), c.OptBool);
    }
}

TEST(JsonRead, ObjectAndArrayRules) {
    const TJson object = TJson::parse(R"({"o":{},"a":[],"n":null,"s":"x"})");
    EXPECT_NE(ReadObj(object, "o"), nullptr);
    EXPECT_EQ(ReadObj(object, "a"), nullptr);
    EXPECT_NE(ReadArr(object, "a"), nullptr);
    EXPECT_EQ(ReadArr(object, "o"), nullptr);
    for (const char* member : {"n", "s", "missing"}) {
        EXPECT_EQ(ReadObj(object, member), nullptr);
        EXPECT_EQ(ReadArr(object, member), nullptr);
    }
    // A value that is not an object has no members.
    EXPECT_EQ(ReadInt(TJson::array(), "m", 4), 4);
}
