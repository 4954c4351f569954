#pragma once
// Registers the core's component classes with the form stream layer, so that
// a form file can create them by name. Call once before reading forms.

#include <brindle/brindle_core_export.h>

namespace brindle {

BRINDLE_CORE_EXPORT void RegisterCoreFormClasses();

} // namespace brindle
