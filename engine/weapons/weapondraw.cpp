#include "weapons/weapondraw.h"

#include "core/messagesink.h"
#include "core/dice.h"

namespace throngkit {

void DrawWeapon(Settings &settings, Dice &dice, MessageSink *notices)
{
    const int rows = qBound(0, int(settings.WeaponCount), MaxWeaponRows);
    // An empty table throws a die of 0 sides, which shows 1 and meets no band.
    const double top = rows > 0 ? double(settings.Weapons[rows].High) : 0.0;
    const double roll = RollDice(dice, 1.0, top);

    for (int n = 1; n <= rows; ++n) {
        const WeaponRow &row = settings.Weapons[n];
        if (roll < double(row.Low) || roll > double(row.High))
            continue;
        const int member = settings.CurMember;
        if (member >= 1 && member <= MaxMembers)
            settings.Members[member].Weapon = row.Name.view();
        settings.WeaponDamage = row.Damage.view();
        settings.WeaponRank = row.Rank;
        if (row.Name.trimmed().isEmpty() && notices)
            notices->showMessage(QString::number(roll, 'f', 0) + u' ');
        return;   // where bands overlap, the earlier row wins
    }
}

} // namespace throngkit
