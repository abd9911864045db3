// The TvrFileWriter module: one class, the writer filter, with its registration
// data. Exports DllGetClassObject, DllCanUnloadNow, DllRegisterServer and
// DllUnregisterServer only.
#include <iterator>

#include "filewriter/FileWriter.h"
#include "interfaces/WriterControl.h"
#include "platform/com/ClassFactory.h"
#include "platform/graph/Guids.h"
#include "platform/graph/base/FilterSetup.h"

namespace {

constexpr WCHAR kFilterName[] = u"Tavrin MPEG File Writer";

// Any media type: callers add the filter by class identifier and connect it directly.
const AMOVIESETUP_MEDIATYPE kInputTypes[] = {{&MEDIATYPE_NULL, &MEDIASUBTYPE_NULL}};

const AMOVIESETUP_PIN kPins[] = {{
    u"Input",
    FALSE,  // not rendered
    FALSE,  // input
    FALSE,  // not zero
    FALSE,  // not many
    &CLSID_NULL,
    u"Output",
    static_cast<UINT>(std::size(kInputTypes)),
    kInputTypes,
}};

// Never picked by intelligent connect.
const AMOVIESETUP_FILTER kFilterSetup = {
    &CLSID_TavrinFileWriter, kFilterName, MERIT_DO_NOT_USE, static_cast<UINT>(std::size(kPins)), kPins};

const CFactoryTemplate kTemplates[] = {
    {kFilterName, &CLSID_TavrinFileWriter, &CreateComObject<FileWriter>, nullptr, &kFilterSetup},
};

}  // namespace

QUVO_MODULE_CLASS_OBJECTS(kTemplates)

QUVO_MODULE_EXPORT HRESULT DllRegisterServer()
{
    return AMovieDllRegisterServer2(TRUE, kTemplates, static_cast<int>(std::size(kTemplates)));
}

QUVO_MODULE_EXPORT HRESULT DllUnregisterServer()
{
    return AMovieDllRegisterServer2(FALSE, kTemplates, static_cast<int>(std::size(kTemplates)));
}
