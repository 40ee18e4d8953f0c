#include "transitions/EffectTable.h"
#include "transitions/TFlickerFreeTransition.h"
#include "transitions/TWipeTransition.h"

namespace transitions {

template <typename T>
static void Register() {
    RegisterEffectClass(T().ClassName(), [] { return std::make_unique<T>(); });
}

void RegisterAllEffectClasses() {
    Register<TFlickerFreeTransition>();
    Register<TWipeTransition>();
}

}  // namespace transitions
