#include "transitions/BlendTransition.h"
#include "transitions/BlockTransition.h"
#include "transitions/CircleTransition.h"
#include "transitions/DripTransition.h"
#include "transitions/EffectTable.h"
#include "transitions/FlickerFreeTransition.h"
#include "transitions/FuseTransition.h"
#include "transitions/RadialTransition.h"
#include "transitions/WipeTransition.h"

namespace transitions {

template <typename T>
static void Register() {
    RegisterEffectClass(T().ClassName(), [] { return std::make_unique<T>(); });
}

void RegisterAllEffectClasses() {
    Register<FlickerFreeTransition>();
    Register<BlendTransition>();
    Register<DripTransition>();
    Register<FuseTransition>();
    Register<WipeTransition>();
    Register<CircleTransition>();
    Register<RadialTransition>();
    Register<BlockTransition>();
}

}  // namespace transitions
