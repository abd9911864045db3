#include "core/StartupProfileModel.h"

namespace encoderdesk {

void StartupProfileModel::Load(StartupKeys& keys)
{
    const int profile = keys.ReadProfile(0);
    if (profile < 0 || profile > 3) return;
    checked = profile;
    if (profile == 3) fileName = keys.ReadProfileName("");
}

void StartupProfileModel::Save(StartupKeys& keys) const
{
    keys.WriteProfile(checked);
    if (checked == 3) keys.WriteProfileName(fileName);
}

}  // namespace encoderdesk
