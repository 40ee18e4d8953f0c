#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "cli/Commands.h"
#include "codecs/BmpPicture.h"
#include "codecs/JpegPicture.h"
#include "codecs/Picture.h"
#include "core/Rounding.h"
#include "core/StringList.h"
#include "transitions/EffectTable.h"
#include "transitions/HeadlessControl.h"
#include "transitions/TimedTransitionEffect.h"

namespace cli {

namespace {

// The picture scaled to fit the frame, aspect kept, centred on black.
raster::Bitmap FitPicture(const std::string& path, int width, int height) {
    auto picture = codecs::LoadPicture(path);
    if (auto* jpeg = dynamic_cast<codecs::JpegPicture*>(picture.get())) jpeg->DecodeNow();
    raster::Bitmap frame(width, height, raster::PixelFormat::Bits32);
    double pw = picture->Width(), ph = picture->Height();
    if (pw <= 0 || ph <= 0) return frame;
    double scale = std::min(width / pw, height / ph);
    int w = std::max(1, int(core::RoundHalfEven(pw * scale)));
    int h = std::max(1, int(core::RoundHalfEven(ph * scale)));
    picture->Draw(frame, core::Rect::FromSize((width - w) / 2, (height - h) / 2, w, h));
    return frame;
}

void ParseSize(const std::string& text, int& width, int& height) {
    size_t x = text.find('x');
    try {
        if (x == std::string::npos) throw std::invalid_argument("");
        width = std::stoi(text.substr(0, x));
        height = std::stoi(text.substr(x + 1));
    } catch (const std::logic_error&) {
        throw std::runtime_error("--size takes WIDTHxHEIGHT, not \"" + text + "\"");
    }
    if (width < 1 || height < 1 || width > 16384 || height > 16384)
        throw std::runtime_error("--size must be between 1x1 and 16384x16384");
}

}  // namespace

int Render(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    std::string framesDir;
    int every = 1;
    int width = 0, height = 0;
    std::optional<int> milliseconds;
    for (size_t i = 0; i < args.size(); ++i) {
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw std::runtime_error(args[i] + " needs a value");
            return args[++i];
        };
        if (args[i] == "--size") {
            ParseSize(value(), width, height);
        } else if (args[i] == "--frames") {
            framesDir = value();
        } else if (args[i] == "--every") {
            const std::string& text = value();
            try {
                every = std::stoi(text);
            } catch (const std::logic_error&) {
                every = 0;
            }
            if (every < 1)
                throw std::runtime_error("--every takes a whole number from 1, not \"" + text +
                                         "\"");
        } else if (args[i] == "--ms") {
            const std::string& text = value();
            try {
                milliseconds = std::stoi(text);
            } catch (const std::logic_error&) {
                throw std::runtime_error("--ms takes a whole number of milliseconds, not \"" +
                                         text + "\"");
            }
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 3 || width == 0)
        throw std::runtime_error("render needs EFFECT FROM TO --size WxH");

    int index = transitions::FindShowEffect(positional[0]);
    if (index < 0) {
        std::string names;
        for (const transitions::StoredEffect& e : transitions::ShowEffectTable())
            names += "\n  " + e.Name + "  " + transitions::EffectAlias(e);
        throw std::runtime_error("There is no effect \"" + positional[0] +
                                 "\" in the show's effect list. Its effects, by name and "
                                 "alias (or index 0 to 21):" +
                                 names);
    }
    transitions::RegisterAllEffectClasses();
    transitions::TransitionList list;
    transitions::LoadEffectList(list, transitions::ShowEffectTable());
    transitions::TransitionEffect* effect = list.Transitions(index);
    if (!effect)
        throw std::runtime_error("The effect " + list.NameAt(index) + " (" +
                                 list.ClassNameAt(index) + ") is not available yet.");
    if (milliseconds) effect->Milliseconds = *milliseconds;

    raster::Bitmap from = FitPicture(positional[1], width, height);
    raster::Bitmap to = FitPicture(positional[2], width, height);

    transitions::HeadlessControl control(width, height);
    control.Look = std::move(from);
    int written = 0, frame = 0;
    if (!framesDir.empty()) {
        std::filesystem::create_directories(framesDir);
        control.OnFrame = [&](const raster::Bitmap& canvas, const core::Rect&) {
            if (frame++ % every != 0) return;
            char name[32];
            std::snprintf(name, sizeof name, "frame_%05d.bmp", ++written);
            core::WriteFileAtomically((std::filesystem::path(framesDir) / name).string(),
                                      codecs::WriteBmp(canvas));
        };
    }

    // The pass is what the effect paces to Milliseconds: from its start event to its end
    // event, after the new look has been captured.
    using Clock = std::chrono::steady_clock;
    auto ms = [](Clock::time_point a, Clock::time_point b) {
        return std::chrono::duration<double, std::milli>(b - a).count();
    };
    Clock::time_point passStart{}, passEnd{};
    effect->OnStartTransition = [&](transitions::TransitionEffect&) { passStart = Clock::now(); };
    effect->OnEndTransition = [&](transitions::TransitionEffect&) { passEnd = Clock::now(); };

    auto start = Clock::now();
    if (!effect->Prepare(control, {0, 0, width, height}))
        throw std::runtime_error("The effect could not be prepared.");
    auto prepared = Clock::now();
    control.Look = std::move(to);
    effect->Execute();
    effect->Unprepare();
    auto end = Clock::now();
    double elapsed = ms(start, end);

    int steps = 0;
    if (auto* timed = dynamic_cast<transitions::TimedTransitionEffect*>(effect))
        steps = timed->StepsDrawn();
    std::printf("effect: %s (%s)\nframes: %d\nsteps: %d\nelapsed ms: %.1f\n",
                list.NameAt(index).c_str(), effect->GetDescription().c_str(),
                control.FramesFlushed(), steps, elapsed);
    std::printf("prepare ms: %.1f\n", ms(start, prepared));
    if (passEnd > passStart) std::printf("pass ms: %.1f\n", ms(passStart, passEnd));
    return 0;
}

}  // namespace cli
