#include "transitions/EffectTable.h"

#include <cctype>
#include <charconv>
#include <map>

#include "core/Error.h"

namespace transitions {

namespace {

using P = StoredProperty;

std::vector<StoredEffect> MakeShowTable() {
    const int32_t down = int32_t(Direction::Down);
    const int32_t left = int32_t(Direction::Left);
    const int32_t up = int32_t(Direction::Up);
    auto wipe = [](const char* name, const char* caption, std::vector<P> extra) {
        std::vector<P> props{{"Milliseconds", int32_t(1700)}};
        props.insert(props.end(), extra.begin(), extra.end());
        return StoredEffect{name, "WipeTransition", caption, props};
    };
    auto corner = [&](const char* name, const char* caption, Direction d,
                      std::vector<P> extra = {}) {
        std::vector<P> props{{"BandWidth", int32_t(0)}, {"Direction", int32_t(d)}};
        props.insert(props.end(), extra.begin(), extra.end());
        return wipe(name, caption, props);
    };
    using D = Direction;
    return {
        {"SlowAlpha",
         "BlendTransition",
         "Alpha blend",
         {{"FlickerFreeWhenDisabled", true}, {"Pass2Options.UseSolidColor", false}}},
        {"Puzzle",
         "BlockTransition",
         "Puzzle",
         {{"Milliseconds", int32_t(1500)},
          {"Cols", int32_t(30)},
          {"Rows", int32_t(30)},
          {"Puzzle", true},
          {"BlockWidth", int32_t(0)},
          {"BlockHeight", int32_t(0)}}},
        {"LArgePuzzle",
         "BlockTransition",
         "Large puzzle",
         {{"Milliseconds", int32_t(1700)},
          {"Cols", int32_t(10)},
          {"Rows", int32_t(10)},
          {"Puzzle", true},
          {"Style", int32_t(4)},
          {"BlockWidth", int32_t(0)},
          {"BlockHeight", int32_t(0)}}},
        {"Blocks",
         "BlockTransition",
         "Blocks",
         {{"Milliseconds", int32_t(1700)},
          {"Cols", int32_t(30)},
          {"Rows", int32_t(30)},
          {"BlockWidth", int32_t(0)},
          {"BlockHeight", int32_t(0)}}},
        {"NewBlocks",
         "BlockTransition",
         "Large blocks",
         {{"Milliseconds", int32_t(1700)},
          {"Cols", int32_t(7)},
          {"Rows", int32_t(7)},
          {"SubStyle", int32_t(0)},
          {"BlockWidth", int32_t(0)},
          {"BlockHeight", int32_t(0)}}},
        {"FastCircle", "CircleTransition", "Circle", {{"Milliseconds", int32_t(1700)}}},
        {"Clockwise", "RadialTransition", "Sweep clockwise", {{"Milliseconds", int32_t(1700)}}},
        {"ClockObr",
         "RadialTransition",
         "Sweep anticlockwise",
         {{"Milliseconds", int32_t(1700)}, {"SubStyle", int32_t(2)}}},
        {"ClockNew",
         "RadialTransition",
         "Sweep clockwise 2",
         {{"Milliseconds", int32_t(1700)}, {"SubStyle", int32_t(5)}}},
        {"DripDown",
         "DripTransition",
         "Drip down",
         {{"Milliseconds", int32_t(1700)}, {"Direction", down}}},
        {"Drip", "DripTransition", "Drip left", {{"Milliseconds", int32_t(1700)}}},
        wipe("WipeDown", "Wipe down", {{"Direction", down}}),
        wipe("WipeLeft", "Wipe left", {{"Direction", left}}),
        wipe("Right", "Wipe right", {{"BandWidth", int32_t(20)}}),
        wipe("WipeUp", "Wipe up", {{"Direction", up}}),
        corner("Ugolok_d_l", "Wipe down and left", D::DownLeft),
        corner("Ugol_d_r", "Wipe down and right", D::DownRight),
        corner("UgolUp_l", "Wipe up and left", D::UpLeft),
        corner("UgolUp_r", "Wipe up and right", D::UpRight),
        corner("Intro", "Wipe in", D::In),
        corner("Out", "Wipe out", D::Out, {{"Pass2Options.Reversed", true}}),
        {"Transition1", "FlickerFreeTransition", "", {}},
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

std::unique_ptr<TransitionEffect> CreateEffect(const std::string& className) {
    auto it = Registry().find(className);
    return it == Registry().end() ? nullptr : it->second();
}

void LoadEffectList(TransitionList& list, const std::vector<StoredEffect>& table) {
    for (const auto& stored : table) {
        std::unique_ptr<TransitionEffect> effect = CreateEffect(stored.ClassName);
        if (effect) {
            for (const auto& property : stored.Properties)
                if (!effect->SetProperty(property.Name, property.Value))
                    throw core::Error("Effect " + stored.Name + " has no property " +
                                      property.Name + ".");
        }
        list.Add(std::move(effect), stored.Name, stored.ClassName);
    }
}

std::string EffectAlias(const StoredEffect& effect) {
    if (effect.Caption.empty()) return "plain-cut";
    std::string alias = effect.Caption;
    for (char& c : alias) c = c == ' ' ? '-' : char(std::tolower(static_cast<unsigned char>(c)));
    return alias;
}

int FindShowEffect(std::string_view nameOrIndex) {
    const auto& table = ShowEffectTable();
    int index = -1;
    auto [end, ec] =
        std::from_chars(nameOrIndex.data(), nameOrIndex.data() + nameOrIndex.size(), index);
    if (ec == std::errc() && end == nameOrIndex.data() + nameOrIndex.size())
        return index >= 0 && index < int(table.size()) ? index : -1;
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i].Name == nameOrIndex || EffectAlias(table[i]) == nameOrIndex) return int(i);
    return -1;
}

}  // namespace transitions
