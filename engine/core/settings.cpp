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

} // namespace throngkit
