// Any bytes as a weapon table: the loader either takes the table, within capacity, or refuses it
// and leaves the loaded one exactly as it was.
#include "fuzzsupport.h"

#include "core/settings.h"
#include "weapons/weapondraw.h"
#include "weapons/weapontable.h"
#include "core/dice.h"

#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const auto settings = std::make_unique<throngkit::Settings>();
    const QString path = throngkit::fuzz::WriteScratchFile("tk-wp-fuzz.dat", data, size);

    settings->Weapons[1].Name = u"Before";
    settings->WeaponCount = 1;
    const throngkit::Result<QString> loaded = throngkit::LoadWeaponTable(*settings, path);
    if (settings->WeaponCount < 0 || settings->WeaponCount > throngkit::MaxWeaponRows)
        std::abort();
    if (!loaded.ok() && (settings->WeaponCount != 1 || settings->Weapons[1].Name.trimmed() != u"Before"
                       || loaded.reason().isEmpty()))
        std::abort();

    // Whatever loaded can be drawn from.
    throngkit::Dice dice(size);
    settings->CurMember = 1;
    for (int i = 0; i < 4; ++i)
        throngkit::DrawWeapon(*settings, dice, nullptr);
    (void)throngkit::ReadTableCaption(path);   // must neither crash nor hang, whatever it says
    return 0;
}
