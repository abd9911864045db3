// Filter registration for modules' DllRegisterServer / DllUnregisterServer: the
// component keys of every class (ModuleRegisterClasses), then each class that has
// setup data registered with the filter mapper in the framework's filters category.
//
//   QUVO_MODULE_EXPORT HRESULT DllRegisterServer()
//   {
//       return AMovieDllRegisterServer2(TRUE, kTemplates, std::size(kTemplates));
//   }
#pragma once

#include "platform/com/ClassFactory.h"
#include "platform/graph/DeviceInterfaces.h"

// Registers (register TRUE) or unregisters one filter with `mapper`, as a version-1
// REGFILTER2 built from `setup`. A filter that is not registered counts as removed.
// A null setup does nothing (S_FALSE).
HRESULT AMovieSetupRegisterFilter2(const AMOVIESETUP_FILTER* setup, IFilterMapper2* mapper,
                                   BOOL registerFilter);

// Registering writes the class keys first and the filters after; unregistering
// removes the filters first and the class keys after. Stops at the first failure.
HRESULT AMovieDllRegisterServer2(BOOL registerServer, const CFactoryTemplate* table, int count);
