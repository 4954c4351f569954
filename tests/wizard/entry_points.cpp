// Wizard libraries that lack entry points: DALWICK_ENTRY_POINTS of initwizard,
// donewizard and runwizard, in that order, are exported. The model must look
// all three up before it calls any, so each one that is called aborts.

#include <brindle/datamodel/wizard_library.h>

#include <cstdlib>

#define WIZARD_EXPORT extern "C" __attribute__((visibility("default")))

#if DALWICK_ENTRY_POINTS >= 1
WIZARD_EXPORT void initwizard(DalwickGetTextProc, DalwickSetTextProc, DalwickGetTextProc, DalwickGetWideProc,
                              DalwickSetWideProc, DalwickGetTextProc, DalwickGetFieldsProc, DalwickGetTextProc,
                              DalwickGetBoolProc, DalwickFreeTextProc)
{
    std::abort();
}
#endif

#if DALWICK_ENTRY_POINTS >= 2
WIZARD_EXPORT void donewizard(void) { std::abort(); }
#endif
