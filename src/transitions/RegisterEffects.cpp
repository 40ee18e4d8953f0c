#include "transitions/EffectTable.h"
#include "transitions/TBlendTransition.h"
#include "transitions/TBlockTransition.h"
#include "transitions/TCircleTransition.h"
#include "transitions/TDripTransition.h"
#include "transitions/TFlickerFreeTransition.h"
#include "transitions/TFuseTransition.h"
#include "transitions/TRadialTransition.h"
#include "transitions/TWipeTransition.h"

namespace transitions {

template <typename T>
static void Register() {
    RegisterEffectClass(T().ClassName(), [] { return std::make_unique<T>(); });
}

void RegisterAllEffectClasses() {
    Register<TFlickerFreeTransition>();
    Register<TBlendTransition>();
    Register<TDripTransition>();
    Register<TFuseTransition>();
    Register<TWipeTransition>();
    Register<TCircleTransition>();
    Register<TRadialTransition>();
    Register<TBlockTransition>();
}

}  // namespace transitions
