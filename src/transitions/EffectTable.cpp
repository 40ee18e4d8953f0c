#include "transitions/EffectTable.h"

#include <charconv>
#include <map>

#include "core/Error.h"

namespace transitions {

namespace {

using P = StoredProperty;

std::vector<StoredEffect> MakeShowTable() {
    const int32_t down = int32_t(TTEEffectDirection::tedDown);
    const int32_t left = int32_t(TTEEffectDirection::tedLeft);
    const int32_t up = int32_t(TTEEffectDirection::tedUp);
    auto wipe = [](const char* name, const char* caption, std::vector<P> extra) {
        std::vector<P> props{{"Milliseconds", int32_t(1700)}};
        props.insert(props.end(), extra.begin(), extra.end());
        return StoredEffect{name, "TWipeTransition", caption, props};
    };
    auto corner = [&](const char* name, const char* caption, TTEEffectDirection d,
                      std::vector<P> extra = {}) {
        std::vector<P> props{{"BandWidth", int32_t(0)}, {"Direction", int32_t(d)}};
        props.insert(props.end(), extra.begin(), extra.end());
        return wipe(name, caption, props);
    };
    using D = TTEEffectDirection;
    return {
        {"SlowAlpha",
         "TBlendTransition",
         "Alpha blend",
         {{"FlickerFreeWhenDisabled", true}, {"Pass2Options.UseSolidColor", false}}},
        {"Puzzle",
         "TBlockTransition",
         "Puzzle",
         {{"Milliseconds", int32_t(1500)},
          {"Cols", int32_t(30)},
          {"Rows", int32_t(30)},
          {"Puzzle", true},
          {"BlockWidth", int32_t(0)},
          {"BlockHeight", int32_t(0)}}},
        {"LArgePuzzle",
         "TBlockTransition",
         "Large puzzle",
         {{"Milliseconds", int32_t(1700)},
          {"Cols", int32_t(10)},
          {"Rows", int32_t(10)},
          {"Puzzle", true},
          {"Style", int32_t(4)},
          {"BlockWidth", int32_t(0)},
          {"BlockHeight", int32_t(0)}}},
        {"Blocks",
         "TBlockTransition",
         "Blocks",
         {{"Milliseconds", int32_t(1700)},
          {"Cols", int32_t(30)},
          {"Rows", int32_t(30)},
          {"BlockWidth", int32_t(0)},
          {"BlockHeight", int32_t(0)}}},
        {"NewBlocks",
         "TBlockTransition",
         "Large blocks",
         {{"Milliseconds", int32_t(1700)},
          {"Cols", int32_t(7)},
          {"Rows", int32_t(7)},
          {"SubStyle", int32_t(0)},
          {"BlockWidth", int32_t(0)},
          {"BlockHeight", int32_t(0)}}},
        {"FastCircle", "TCircleTransition", "Circle", {{"Milliseconds", int32_t(1700)}}},
        {"Clockwise", "TRadialTransition", "Sweep clockwise", {{"Milliseconds", int32_t(1700)}}},
        {"ClockObr",
         "TRadialTransition",
         "Sweep anticlockwise",
         {{"Milliseconds", int32_t(1700)}, {"SubStyle", int32_t(2)}}},
        {"ClockNew",
         "TRadialTransition",
         "Sweep clockwise 2",
         {{"Milliseconds", int32_t(1700)}, {"SubStyle", int32_t(5)}}},
        {"DripDown",
         "TDripTransition",
         "Drip down",
         {{"Milliseconds", int32_t(1700)}, {"Direction", down}}},
        {"Drip", "TDripTransition", "Drip left", {{"Milliseconds", int32_t(1700)}}},
        wipe("WipeDown", "Wipe down", {{"Direction", down}}),
        wipe("WipeLeft", "Wipe left", {{"Direction", left}}),
        wipe("Right", "Wipe right", {{"BandWidth", int32_t(20)}}),
        wipe("WipeUp", "Wipe up", {{"Direction", up}}),
        corner("Ugolok_d_l", "Wipe down and left", D::tedDownLeft),
        corner("Ugol_d_r", "Wipe down and right", D::tedDownRight),
        corner("UgolUp_l", "Wipe up and left", D::tedUpLeft),
        corner("UgolUp_r", "Wipe up and right", D::tedUpRight),
        corner("Intro", "Wipe in", D::tedIn),
        corner("Out", "Wipe out", D::tedOut, {{"Pass2Options.Reversed", true}}),
        {"Transition1", "TFlickerFreeTransition", "", {}},
    };
}

std::map<std::string, EffectFactory>& Registry() {
    static std::map<std::string, EffectFactory> registry;
    return registry;
}

}  // namespace

const std::vector<StoredEffect>& ShowEffectTable() {
    static const std::vector<StoredEffect> table = MakeShowTable();
    return table;
}

std::vector<StoredEffect> ChooserEffectTable() {
    std::vector<StoredEffect> table = ShowEffectTable();
    for (auto& effect : table) effect.Properties.push_back({"AbortOnEscape", true});
    return table;
}

void RegisterEffectClass(const std::string& className, EffectFactory factory) {
    Registry()[className] = std::move(factory);
}

std::unique_ptr<TTransitionEffect> CreateEffect(const std::string& className) {
    auto it = Registry().find(className);
    return it == Registry().end() ? nullptr : it->second();
}

void LoadEffectList(TTransitionList& list, const std::vector<StoredEffect>& table) {
    for (const auto& stored : table) {
        std::unique_ptr<TTransitionEffect> effect = CreateEffect(stored.ClassName);
        if (effect) {
            for (const auto& property : stored.Properties)
                if (!effect->SetProperty(property.Name, property.Value))
                    throw core::Error("Effect " + stored.Name + " has no property " +
                                      property.Name + ".");
        }
        list.Add(std::move(effect), stored.Name, stored.ClassName);
    }
}

int FindShowEffect(std::string_view nameOrIndex) {
    const auto& table = ShowEffectTable();
    int index = -1;
    auto [end, ec] =
        std::from_chars(nameOrIndex.data(), nameOrIndex.data() + nameOrIndex.size(), index);
    if (ec == std::errc() && end == nameOrIndex.data() + nameOrIndex.size())
        return index >= 0 && index < int(table.size()) ? index : -1;
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i].Name == nameOrIndex) return int(i);
    return -1;
}

}  // namespace transitions
