// First-use registration of an installed system's modules (docs/installed.md).
#pragma once

namespace quvo::com {

// When this platform library runs from an installed tree (its folder holds a
// "quvosdk" folder of modules), registers those modules into the user's registry
// unless the stamp there already names this version and folder. Runs once per
// process; a build tree has no such folder and is left alone. Never throws.
void RegisterInstalledModulesOnce();

}  // namespace quvo::com
