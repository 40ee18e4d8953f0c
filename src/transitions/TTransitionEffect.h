#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "core/Geometry.h"
#include "raster/Bitmap.h"
#include "settings/ColorText.h"
#include "transitions/Surface.h"
#include "transitions/TTEChrono.h"

namespace transitions {

enum class TTEEffectDirection : uint8_t {
    tedNone = 0,
    tedRight = 1,
    tedLeft = 2,
    tedDown = 3,
    tedUp = 4,
    tedDownRight = 5,
    tedDownLeft = 6,
    tedUpRight = 7,
    tedUpLeft = 8,
    tedIn = 9,
    tedOut = 10,
};

enum class TTEPassSettingType : uint8_t { teOnePass = 0, teTwoPasses = 1, tePaletteDependent = 2 };

// A set of directions, bit n for the direction of ordinal n.
using TTEDirectionSet = uint16_t;
constexpr TTEDirectionSet DirectionBit(TTEEffectDirection d) {
    return TTEDirectionSet(1u << unsigned(d));
}

// Options of the second of two passes.
struct TTEPass2OptionsType {
    bool DistributedTime = false;
    bool Reversed = false;
    bool UseSolidColor = true;
    settings::ColorValue SolidColor = settings::kClNone;

    void Assign(const TTEPass2OptionsType& other) { *this = other; }
};

// The record of one pass: the bitmaps an effect composes with, and the frame.
struct TTETransitionData {
    raster::Bitmap* WorkBitmap = nullptr;  // not owned; none when the effect draws on the window
    const raster::Bitmap* SrcImage = nullptr;  // the image the pass starts from
    const raster::Bitmap* DstImage = nullptr;  // the image the pass must end with
    TTERenderWindow* Window = nullptr;
    int Width = 0;
    int Height = 0;
    raster::PixelFormat PixelFormat = raster::PixelFormat::Bits32;
    bool HighColour = true;

    // Where effects draw: the work bitmap when there is one, else the render window.
    raster::Bitmap& DrawCanvas() const { return WorkBitmap ? *WorkBitmap : Window->Canvas(); }
};

// A stored property value, as the declarative effect tables hold them.
using PropertyValue = std::variant<bool, int32_t, std::string>;

class TTransitionList;

// An animated change of a control's look from the old picture to the new one.
class TTransitionEffect {
public:
    using Notify = std::function<void(TTransitionEffect& sender)>;
    using AbortQuery =
        std::function<void(TTransitionEffect& sender, TTransitionEffect& transition, bool& abort)>;

    TTransitionEffect();
    virtual ~TTransitionEffect();
    TTransitionEffect(const TTransitionEffect&) = delete;
    TTransitionEffect& operator=(const TTransitionEffect&) = delete;

    // The class name, as effect tables name it.
    virtual const char* ClassName() const = 0;

    // Captures the old look of `rect` (client coordinates of `control`) and lays the render
    // window over it. False when the effect may not run, another effect is prepared, or no
    // visible control was found.
    bool Prepare(TransitionControl& control, const core::Rect& rect);
    // Animates from the old look to the control's current look.
    void Execute();
    // Frees the images and the render window. Safe at any time, also twice.
    void Unprepare();
    bool Prepared() const { return m_prepared; }
    bool Executing() const { return m_executing; }
    bool Aborted() const { return m_aborted; }
    // The clock that paces the run and times the abort polls; the steady clock unless
    // tests or offline rendering give another. Not while a run is executing.
    void SetTimeSource(TimeSource& source);

    // Copies the published properties of another effect (not the events).
    virtual void Assign(const TTransitionEffect& source);
    // Sets a published property by its stored name; false for a name the class does not
    // publish or a value of the wrong kind.
    virtual bool SetProperty(std::string_view name, const PropertyValue& value);

    std::string Version() const { return "Version 2.6"; }

    std::string Name;
    int32_t Tag = 0;

    bool AbortOnClick = false;
    bool AbortOnEscape = false;
    bool FlickerFreeWhenDisabled = false;
    TTEPass2OptionsType Pass2Options;
    TTEPassSettingType PassSetting = TTEPassSettingType::teOnePass;
    int32_t Milliseconds = 0;
    bool Reversed = false;

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    TTEEffectDirection Direction() const { return m_direction; }
    void SetDirection(TTEEffectDirection direction);  // ignored outside AllowedDirections
    TTEDirectionSet AllowedDirections() const { return m_allowedDirections; }

    Notify OnBeforeTransition, OnStartTransition, OnEndTransition, OnAfterTransition;
    AbortQuery OnAbortQuery;

    // The answers each class gives about itself.
    virtual TTEEffectDirection OppositeDirection(TTEEffectDirection direction) const;
    virtual int GetBitmapWidth(int width) const { return width; }
    virtual raster::PixelFormat GetPixelFormat() const { return DisplayPixelFormat(); }
    virtual bool NeedsNewImage() const { return true; }
    virtual bool NeedsOldImage() const { return true; }
    virtual bool PaintsOldImage() const { return true; }
    virtual bool NeedsWorkBitmap() const { return false; }
    virtual bool WorkOnOldImage() const { return false; }
    virtual std::string GetDescription() const { return ClassName(); }
    virtual std::string GetEditorName() const { return "TTransitionEffectEditor"; }
    virtual bool UsesFirstPass() const { return true; }

    // The reversal and direction in use for the pass now running.
    bool ActualReversed() const;
    TTEEffectDirection ActualDirection() const;
    int PassCount() const;

    TTransitionList* List() const { return m_list; }

    // True while any effect of the program is prepared.
    static bool AnyPrepared();

protected:
    virtual void ExecuteTransition(TTETransitionData& data) = 0;

    // Puts the changed part of the display bitmap on the render window.
    void PaintFrame(TTETransitionData& data, bool wholeFrame);
    // Copies the whole destination image onto the render window and shows it.
    void ShowFinalFrame(TTETransitionData& data);

    TTERenderWindow* RenderWindow() const { return m_window.get(); }
    TimeSource& Time() const { return *m_time; }
    // The stored forms of Direction (its ordinal) and Reversed, for the classes that
    // publish them; false for a value of the wrong kind or out of range.
    bool SetDirectionProperty(const PropertyValue& value);
    bool SetReversedProperty(const PropertyValue& value);
    void SetAllowedDirections(TTEDirectionSet set) { m_allowedDirections = set; }
    // Sets the direction field without the allowed-set check (constructors).
    void InitDirection(TTEEffectDirection d) { m_direction = d; }

    core::Rect DirtyRect;      // changed since the last frame; empty = all
    core::Rect DirtyHoleRect;  // inner part of DirtyRect that need not be copied
    bool DrawOffscreen = true;
    bool m_aborted = false;
    bool SecondPass = false;
    raster::Bitmap* DisplayBitmap = nullptr;  // the run's work bitmap, not owned
    TTEChrono AbortChrono{SteadyTimeSource()};

    std::unique_ptr<raster::Bitmap> OldImage, Pass2Image, NewImage;

private:
    friend class TTransitionList;

    void DestroyRenderWindow();
    raster::Bitmap PaintControl();
    raster::Bitmap CopyScreen();
    raster::Bitmap MakeIntermediateImage();
    void RunOnePass();
    void RunTwoPasses();
    // Makes or chooses the work bitmap; answers the one the run owns, if any.
    std::unique_ptr<raster::Bitmap> SetUpWorkBitmap(raster::Bitmap*& work);
    void RunPass(TTETransitionData& data, bool fireStart, bool fireEnd);

    bool m_enabled = true;
    bool m_prepared = false;
    bool m_executing = false;
    TTEEffectDirection m_direction = TTEEffectDirection::tedNone;
    TTEDirectionSet m_allowedDirections = DirectionBit(TTEEffectDirection::tedNone);
    TransitionControl* m_control = nullptr;
    core::Rect m_rect;
    std::unique_ptr<TTERenderWindow> m_window;
    TTransitionList* m_list = nullptr;
    TimeSource* m_time = &SteadyTimeSource();
};

// Thrown to end a run without a message (an effect with no steps).
struct SilentAbort {};

}  // namespace transitions
