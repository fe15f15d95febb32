#include "core/settings.h"

#include "core/numerictext.h"

#include <cmath>

namespace throngkit {

int ListedMemberCount(float howMany) noexcept
{
    if (!(howMany >= 1.0f))   // also catches NaN
        return 0;
    if (howMany >= float(MaxMembers))
        return MaxMembers;
    return int(std::floor(howMany));
}

bool HowManyFits(float howMany) noexcept
{
    return howMany <= float(MaxMembers);   // false for NaN
}

Outcome CheckHowMany(float howMany)
{
    if (!HowManyFits(howMany))
        return Outcome::failure(QStringLiteral("\"How many?\" must be at most %1.").arg(MaxMembers));
    return Outcome::success();
}

Outcome CheckHowManyIsNumber(QStringView text)
{
    if (!LeadingNumber(text))
        return Outcome::failure(QStringLiteral("\"How many?\" is not a number: type how many fighters to "
                                               "make, from 0 to %1.").arg(MaxMembers));
    return Outcome::success();
}

} // namespace throngkit
