#include "core/numberforms.h"

#include <gtest/gtest.h>

using namespace throngkit;

TEST(NumberForms, EveryFormOfTheListingsAndFiles)
{
    const struct { qint16 v; const char *plain, *hash, *hashBlank, *blank00, *two, *printed; } cases[] = {
        {0, "0", "", " ", " 00", "00", " 0 "},
        {3, "3", "3", "3 ", " 03", "03", " 3 "},
        {45, "45", "45", "45 ", " 45", "45", " 45 "},
        {100, "100", "100", "100 ", " 100", "100", " 100 "},
        {1000, "1000", "1000", "1000 ", " 1000", "1000", " 1000 "},
        {-5, "-5", "-5", "-5 ", "- 05", "-05", "-5 "},
        {-32768, "-32768", "-32768", "-32768 ", "- 32768", "-32768", "-32768 "},
        {32767, "32767", "32767", "32767 ", " 32767", "32767", " 32767 "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.v);
        EXPECT_EQ(PlainDecimal(c.v), QLatin1String(c.plain));
        EXPECT_EQ(HashForm(c.v), QLatin1String(c.hash));
        EXPECT_EQ(HashBlank(c.v), QLatin1String(c.hashBlank));
        EXPECT_EQ(BlankTwoDigits(c.v), QLatin1String(c.blank00));
        EXPECT_EQ(TwoDigits(c.v), QLatin1String(c.two));
        EXPECT_EQ(PrintedNumber(c.v), QLatin1String(c.printed));
    }
}
