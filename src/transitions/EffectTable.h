#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "transitions/TransitionList.h"

namespace transitions {

// One stored property of an effect in a window's layout. A value equal to the property's
// default is never stored, so the constructor's value stands.
struct StoredProperty {
    std::string Name;
    PropertyValue Value;
};

// One effect of a stored effect list: its name, its class and its stored properties.
struct StoredEffect {
    std::string Name;
    std::string ClassName;
    std::string Caption;  // as the effect chooser lists it; empty for none
    std::vector<StoredProperty> Properties;
};

// The show player's 22 effects, in list order.
const std::vector<StoredEffect>& ShowEffectTable();

// The effect chooser's preview copy: the same effects with AbortOnEscape set on each.
std::vector<StoredEffect> ChooserEffectTable();

// Registers an effect class for creation by name (done once per class at start-up).
using EffectFactory = std::function<std::unique_ptr<TransitionEffect>()>;
void RegisterEffectClass(const std::string& className, EffectFactory factory);
// A new effect of the class, or none when the class is not registered.
std::unique_ptr<TransitionEffect> CreateEffect(const std::string& className);
// Registers every effect class the program has.
void RegisterAllEffectClasses();

// Builds an effect list from a stored table. Effects of unavailable classes stay as
// empty entries; a stored property the class does not publish throws core::Error.
void LoadEffectList(TransitionList& list, const std::vector<StoredEffect>& table);

// The effect's readable name for the command line: its chooser caption in lower case with
// dashes ("wipe-down-and-left"); "plain-cut" for the effect the chooser does not list.
std::string EffectAlias(const StoredEffect& effect);

// Finds an effect of the show's table by its name ("WipeDown"), alias ("wipe-down") or
// index ("11"); -1 when there is none.
int FindShowEffect(std::string_view nameOrIndex);

}  // namespace transitions
